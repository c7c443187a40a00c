// The layout of a crash report file, shared by the writer and the test-facing reader:
//
//   Process:         <name> [<pid>]
//   Path:            <executable path>
//   Date/Time:       <YYYY-MM-DD HH:MM:SS +0000>
//   Exception Type:  EXC_CRASH (SIGABRT)
//
//   Application Specific Information:
//   <reason, byte for byte>\n
#ifndef PLATFORM_CRASH_CRASH_REPORT_FORMAT_H_
#define PLATFORM_CRASH_CRASH_REPORT_FORMAT_H_

namespace standin {

inline constexpr char kCrashReportSubfolder[] = "Library/Logs/DiagnosticReports";
inline constexpr char kCrashReportProcessField[] = "Process:         ";
inline constexpr char kCrashReportPathField[] = "Path:            ";
inline constexpr char kCrashReportDateField[] = "Date/Time:       ";
inline constexpr char kCrashReportExceptionField[] = "Exception Type:  ";
inline constexpr char kCrashReportReasonHeading[] = "Application Specific Information:\n";

}  // namespace standin

#endif  // PLATFORM_CRASH_CRASH_REPORT_FORMAT_H_
