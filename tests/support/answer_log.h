// A host's answer functions for inbound calls that record every answer the library gives, with the
// thread it came on, so tests can check "exactly once, on the calling thread, before invoke
// returns". Thread-safe: answers may arrive on any thread.
#ifndef TESTS_SUPPORT_ANSWER_LOG_H_
#define TESTS_SUPPORT_ANSWER_LOG_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace kz::testing {

struct Answer {
  uint64_t id = 0;
  bool replied = false;  // true: the reply function; false: the reject function
  std::string payload;   // reply bytes, or the rejection text
  std::thread::id thread;
};

class AnswerLog {
 public:
  // Pass these as the reply and reject functions of `invoke`.
  static void Reply(uint64_t id, const char* data, size_t len);
  static void Reject(uint64_t id, const char* error);

  // Every answer recorded so far, in arrival order; the log is cleared.
  static std::vector<Answer> Take();
  // The answers recorded for `id` so far (not cleared).
  static std::vector<Answer> ForId(uint64_t id);
  static size_t Count();
};

// Calls `invoke` with the log's functions and returns the one answer it recorded for `id`; the test
// fails unless exactly one answer arrived, on the calling thread, before `invoke` returned.
Answer InvokeOnce(uint64_t id, const char* service, const char* method, const std::string& request);

}  // namespace kz::testing

#endif  // TESTS_SUPPORT_ANSWER_LOG_H_
