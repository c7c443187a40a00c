// abort_report_np: the crash report the platform writes when a process ends itself with a reason.
// The report goes to $HOME/Library/Logs/DiagnosticReports/<process>-<YYYY-MM-DD-HHMMSS>.ips with
// the reason under "Application Specific Information:". Written with system calls and stack buffers
// only: the caller may be out of memory or have a broken heap.
#include <darwin/stdlib.h>
#include <fcntl.h>
#include <limits.h>
#include <mach-o/dyld.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "crash_report_format.h"

namespace {

// Writes all of `text`; gives up quietly on failure, the abort comes next either way.
void WriteAll(int fd, const char* text, size_t length) {
  while (length > 0) {
    ssize_t written = write(fd, text, length);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    text += written;
    length -= static_cast<size_t>(written);
  }
}

// Creates each missing folder of `path`.
void MakeFolders(char* path) {
  for (char* slash = std::strchr(path + 1, '/'); slash != nullptr;
       slash = std::strchr(slash + 1, '/')) {
    *slash = '\0';
    mkdir(path, 0755);
    *slash = '/';
  }
  mkdir(path, 0755);
}

// Opens a new report file for `process` at `when`, or returns -1.
int CreateReportFile(const char* process, const std::tm& when) {
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] == '\0') return -1;
  char folder[PATH_MAX];
  int length = std::snprintf(folder, sizeof(folder), "%s/%s", home, standin::kCrashReportSubfolder);
  if (length < 0 || static_cast<size_t>(length) >= sizeof(folder)) return -1;
  MakeFolders(folder);
  char stamp[32];
  std::strftime(stamp, sizeof(stamp), "%Y-%m-%d-%H%M%S", &when);
  for (int attempt = 0; attempt < 100; ++attempt) {
    char path[PATH_MAX];
    char suffix[16] = "";
    if (attempt > 0) std::snprintf(suffix, sizeof(suffix), "-%d", attempt);
    length = std::snprintf(path, sizeof(path), "%s/%s-%s%s.ips", folder, process, stamp, suffix);
    if (length < 0 || static_cast<size_t>(length) >= sizeof(path)) return -1;
    int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

void WriteReport(const char* reason) {
  char executable[2 * PATH_MAX + 2] = "";
  uint32_t size = sizeof(executable);
  if (_NSGetExecutablePath(executable, &size) != 0) executable[0] = '\0';
  const char* slash = std::strrchr(executable, '/');
  const char* process = slash != nullptr ? slash + 1 : "unknown";
  if (process[0] == '\0') process = "unknown";

  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  std::tm when{};
  gmtime_r(&now.tv_sec, &when);
  int fd = CreateReportFile(process, when);
  if (fd < 0) return;

  char date[32];
  std::strftime(date, sizeof(date), "%Y-%m-%d %H:%M:%S +0000", &when);
  char header[2 * PATH_MAX + 512];
  int length =
      std::snprintf(header, sizeof(header),
                    "%s%s [%d]\n"
                    "%s%s\n"
                    "%s%s\n"
                    "%sEXC_CRASH (SIGABRT)\n"
                    "\n"
                    "%s",
                    standin::kCrashReportProcessField, process, static_cast<int>(getpid()),
                    standin::kCrashReportPathField, executable, standin::kCrashReportDateField,
                    date, standin::kCrashReportExceptionField, standin::kCrashReportReasonHeading);
  if (length > 0) WriteAll(fd, header, std::strlen(header));
  WriteAll(fd, reason, std::strlen(reason));
  WriteAll(fd, "\n", 1);
  close(fd);
}

}  // namespace

extern "C" void abort_report_np(const char* format, ...) {
  // Longer than any message the system gives; a longer reason is cut.
  char reason[8192];
  reason[0] = '\0';
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(reason, sizeof(reason), format, arguments);
  va_end(arguments);
  const int saved_errno = errno;
  WriteReport(reason);
  errno = saved_errno;
  std::abort();
}
