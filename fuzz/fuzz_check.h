// What the fuzz targets share: a check that turns a broken promise of the library into a finding
// (libFuzzer keeps the input that caused it), and silence for the protobuf library's logging.
#ifndef FUZZ_FUZZ_CHECK_H_
#define FUZZ_FUZZ_CHECK_H_

#include <google/protobuf/stubs/logging.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace ondrel::fuzz {

// Ends the run with the failed condition and a message; libFuzzer reports it as a crash and saves
// the input.
[[noreturn]] inline void Fail(const char* condition, const char* file, int line,
                              const char* message) {
  std::fprintf(stderr, "%s:%d: check failed: %s: %s\n", file, line, condition, message);
  std::abort();
}

// Invalid UTF-8 in a string field makes the protobuf library log a line for every such input; at
// the fuzzer's pace that is noise, and it slows the run down. The logs say nothing the checks
// need.
inline void SilenceProtobufLogs() {
  google::protobuf::SetLogHandler(
      [](google::protobuf::LogLevel, const char*, int, const std::string&) {});
}

}  // namespace ondrel::fuzz

#define FUZZ_CHECK(condition, message)                                               \
  do {                                                                               \
    if (!(condition)) ::ondrel::fuzz::Fail(#condition, __FILE__, __LINE__, message); \
  } while (false)

#endif  // FUZZ_FUZZ_CHECK_H_
