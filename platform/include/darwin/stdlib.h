// The platform's additions to <stdlib.h>: ending the process with a crash report.
#ifndef PLATFORM_INCLUDE_DARWIN_STDLIB_H_
#define PLATFORM_INCLUDE_DARWIN_STDLIB_H_

extern "C" {
// Formats the message like printf, records it as the reason in a crash report of the process and
// aborts (SIGABRT). Writes nothing to standard error and allocates nothing, so it can be called
// when memory is exhausted or the heap is broken. Never returns. Any thread.
[[noreturn]] void abort_report_np(const char* format, ...) __attribute__((format(printf, 1, 2)));
}

#endif  // PLATFORM_INCLUDE_DARWIN_STDLIB_H_
