// _NSGetExecutablePath: the path the process was started with. Linux keeps the file name given to
// execve in the auxiliary vector (AT_EXECFN); unlike /proc/self/exe it is not canonical, so links
// and ".." segments stay as the starter wrote them, as on the platform.
#include <limits.h>
#include <mach-o/dyld.h>
#include <sys/auxv.h>
#include <unistd.h>

#include <cstring>

#include "faults.h"

namespace {

struct ExecutablePath {
  char path[2 * PATH_MAX + 2] = {};
  size_t length = 0;
};

bool Append(ExecutablePath& result, const char* text) {
  size_t length = std::strlen(text);
  if (result.length + length >= sizeof(result.path)) return false;
  std::memcpy(result.path + result.length, text, length + 1);
  result.length += length;
  return true;
}

ExecutablePath Capture() {
  ExecutablePath result;
  const char* started_as = reinterpret_cast<const char*>(getauxval(AT_EXECFN));
  if (started_as != nullptr && started_as[0] == '/') {
    if (Append(result, started_as)) return result;
  } else if (started_as != nullptr && getcwd(result.path, PATH_MAX) != nullptr) {
    result.length = std::strlen(result.path);
    if ((result.length > 0 && result.path[result.length - 1] == '/') || Append(result, "/")) {
      if (Append(result, started_as)) return result;
    }
  }
  // No start path to work from: the canonical one is still the running executable.
  result = ExecutablePath();
  ssize_t length = readlink("/proc/self/exe", result.path, sizeof(result.path) - 1);
  result.length = length > 0 ? static_cast<size_t>(length) : 0;
  result.path[result.length] = '\0';
  return result;
}

// The working directory may change later; the path is the one of the start.
const ExecutablePath& StartPath() {
  static const ExecutablePath path = Capture();
  return path;
}

__attribute__((constructor)) void CaptureAtStart() { StartPath(); }

}  // namespace

extern "C" int _NSGetExecutablePath(char* buf, uint32_t* bufsize) {
  if (bufsize == nullptr) return -1;
  const ExecutablePath& start = StartPath();
  const uint32_t needed = static_cast<uint32_t>(start.length + 1);
  const bool fits = buf != nullptr && *bufsize >= needed;
  if (standin::faults::Take(standin::faults::Point::kExecutablePath)) return fits ? -1 : 0;
  if (!fits) {
    *bufsize = needed;
    return -1;
  }
  std::memcpy(buf, start.path, needed);
  return 0;
}
