// A host call-out function for outgoing calls that records what reaches the host and answers as the
// test tells it: synchronously from inside the call-out, or later through the entries it was given.
// Thread-safe: the library may call out from any thread.
#ifndef TESTS_SUPPORT_FAKE_HOST_H_
#define TESTS_SUPPORT_FAKE_HOST_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "rpc/host_boundary.h"

namespace kz::testing {

// One call as it reached the host.
struct HostCall {
  uint64_t id = 0;
  std::string service;
  std::string method;
  std::string payload;
  ReplyFn reply = nullptr;
  RejectFn reject = nullptr;
};

// What the host does with a call from inside its call-out function.
struct HostAnswer {
  bool reply = true;
  std::string payload;     // reply bytes, or the rejection text
  bool null_text = false;  // reject with a null text
};

class FakeHost {
 public:
  // Installs the fake as the library's host function; calls are kept pending until answered.
  static void Install();
  // Answers every later call synchronously from inside the call-out; nullopt keeps them pending.
  static void AnswerSynchronously(std::optional<HostAnswer> answer);
  // The call-out function itself, for tests that install it by hand.
  static void CallOut(uint64_t id, const char* service, const char* method, const char* data,
                      size_t len, ReplyFn reply, RejectFn reject);
  // The calls that reached the host, in order.
  static std::vector<HostCall> Calls();
  static void Reset();
};

}  // namespace kz::testing

#endif  // TESTS_SUPPORT_FAKE_HOST_H_
