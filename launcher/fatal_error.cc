#include "fatal_error.h"

#include <darwin/stdlib.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

void FatalError(const char* format, ...) {
  char message[4096];
  std::memset(message, 0, sizeof(message));
  va_list arguments;
  va_start(arguments, format);
  const int length = std::vsnprintf(message, sizeof(message), format, arguments);
  va_end(arguments);
  if (length >= 0) {
    std::fputs(message, stderr);
    abort_report_np("%s", message);
  }
  std::abort();
}
