#include "support/fake_host.h"

#include <mutex>

namespace kz::testing {
namespace {

struct HostState {
  std::mutex mutex;
  std::vector<HostCall> calls;
  std::optional<HostAnswer> synchronous_answer;
};

HostState& State() {
  static auto* state = new HostState();
  return *state;
}

}  // namespace

void FakeHost::Install() { ::set_host_invoke(&FakeHost::CallOut); }

void FakeHost::AnswerSynchronously(std::optional<HostAnswer> answer) {
  std::lock_guard lock(State().mutex);
  State().synchronous_answer = std::move(answer);
}

void FakeHost::CallOut(uint64_t id, const char* service, const char* method, const char* data,
                       size_t len, ReplyFn reply, RejectFn reject) {
  std::optional<HostAnswer> answer;
  {
    std::lock_guard lock(State().mutex);
    State().calls.push_back(HostCall{id, service, method, std::string(data, len), reply, reject});
    answer = State().synchronous_answer;
  }
  if (!answer) return;
  if (answer->reply) {
    reply(id, answer->payload.data(), answer->payload.size());
  } else {
    reject(id, answer->null_text ? nullptr : answer->payload.c_str());
  }
}

std::vector<HostCall> FakeHost::Calls() {
  std::lock_guard lock(State().mutex);
  return State().calls;
}

void FakeHost::Reset() {
  std::lock_guard lock(State().mutex);
  State().calls.clear();
  State().synchronous_answer.reset();
}

}  // namespace kz::testing
