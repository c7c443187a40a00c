// The one way the launcher ends a failed start: the message goes to standard error and, as the
// reason, into the process's crash report, and the process aborts.
#ifndef LAUNCHER_FATAL_ERROR_H_
#define LAUNCHER_FATAL_ERROR_H_

// Formats the message like printf into a 4096-byte buffer (a longer message is cut to its first
// 4095 characters), writes it to standard error as it is (no line feed added) and ends the process
// through abort_report_np with it. If the message cannot be formatted, aborts without writing
// anything. Never returns. Main thread, before the engine runs.
[[noreturn]] void FatalError(const char* format, ...) __attribute__((format(printf, 1, 2)));

#endif  // LAUNCHER_FATAL_ERROR_H_
