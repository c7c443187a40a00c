// Test-facing view of the crash reports that abort_report_np writes, one file per abort under
// $HOME/Library/Logs/DiagnosticReports/, named "<process>-<YYYY-MM-DD-HHMMSS>.ips" (UTC; "-1", "-2"
// ... before ".ips" when that name is taken).
#ifndef PLATFORM_INCLUDE_STANDIN_CRASH_REPORTS_H_
#define PLATFORM_INCLUDE_STANDIN_CRASH_REPORTS_H_

#include <string>
#include <vector>

namespace standin {

struct CrashReport {
  std::string file_name;  // without the directory
  std::string process;    // the process name the report gives
  std::string reason;     // the formatted message, byte for byte
};

// The folder crash reports go to for the home folder `home`.
std::string CrashReportFolder(const std::string& home);

// The crash reports under the home folder `home`, by file name; empty when there are none.
std::vector<CrashReport> ReadCrashReports(const std::string& home);

}  // namespace standin

#endif  // PLATFORM_INCLUDE_STANDIN_CRASH_REPORTS_H_
