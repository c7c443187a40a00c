#include "support/answer_log.h"

#include <gtest/gtest.h>

#include <mutex>

#include "rpc/host_boundary.h"

namespace kz::testing {
namespace {

std::mutex& LogMutex() {
  static auto* mutex = new std::mutex();
  return *mutex;
}

std::vector<Answer>& Log() {
  static auto* log = new std::vector<Answer>();
  return *log;
}

void Record(Answer answer) {
  std::lock_guard lock(LogMutex());
  Log().push_back(std::move(answer));
}

}  // namespace

void AnswerLog::Reply(uint64_t id, const char* data, size_t len) {
  Record({id, true, std::string(data == nullptr ? "" : data, data == nullptr ? 0 : len),
          std::this_thread::get_id()});
}

void AnswerLog::Reject(uint64_t id, const char* error) {
  Record({id, false, std::string(error == nullptr ? "<null>" : error), std::this_thread::get_id()});
}

std::vector<Answer> AnswerLog::Take() {
  std::lock_guard lock(LogMutex());
  std::vector<Answer> taken;
  taken.swap(Log());
  return taken;
}

std::vector<Answer> AnswerLog::ForId(uint64_t id) {
  std::lock_guard lock(LogMutex());
  std::vector<Answer> matching;
  for (const Answer& answer : Log()) {
    if (answer.id == id) matching.push_back(answer);
  }
  return matching;
}

size_t AnswerLog::Count() {
  std::lock_guard lock(LogMutex());
  return Log().size();
}

Answer InvokeOnce(uint64_t id, const char* service, const char* method,
                  const std::string& request) {
  ::invoke(id, service, method, request.data(), request.size(), &AnswerLog::Reply,
           &AnswerLog::Reject);
  std::vector<Answer> answers = AnswerLog::ForId(id);
  EXPECT_EQ(answers.size(), 1u) << "call " << id << " to " << (service ? service : "<null>") << "."
                                << (method ? method : "<null>");
  if (answers.empty()) return {};
  EXPECT_EQ(answers.front().thread, std::this_thread::get_id());
  return answers.front();
}

}  // namespace kz::testing
