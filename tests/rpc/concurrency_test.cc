// Both directions at once from many threads: inbound calls, outgoing calls, host answers from other
// threads and replacement of the host function. Every call must be answered exactly once; the
// sanitizer builds check for races and leaks.
#include <google/protobuf/wrappers.pb.h>
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "rpc/request.h"
#include "rpc/rpc_test_service.h"
#include "rpc/transport.h"
#include "support/answer_log.h"

namespace kz::testing {
namespace {

using google::protobuf::StringValue;

constexpr int kThreads = 4;
constexpr int kCallsPerThread = 400;

// Calls that reached the host and wait for an answering thread.
struct HostQueue {
  std::mutex mutex;
  std::condition_variable ready;
  std::deque<std::pair<uint64_t, std::pair<ReplyFn, RejectFn>>> calls;
  bool closed = false;
};

HostQueue& Queue() {
  static auto* queue = new HostQueue();
  return *queue;
}

void QueueingHost(uint64_t id, const char*, const char*, const char*, size_t, ReplyFn reply,
                  RejectFn reject) {
  std::lock_guard lock(Queue().mutex);
  Queue().calls.push_back({id, {reply, reject}});
  Queue().ready.notify_one();
}

// A second host function, so replacement swaps between two distinct functions.
void OtherQueueingHost(uint64_t id, const char* service, const char* method, const char* data,
                       size_t len, ReplyFn reply, RejectFn reject) {
  QueueingHost(id, service, method, data, len, reply, reject);
}

TEST(ConcurrencyTest, EveryCallIsAnsweredExactlyOnce) {
  RpcTestService service;
  kz::rpc::RegisterService(&service);
  ::set_host_invoke(&QueueingHost);

  constexpr int kOutgoing = kThreads * kCallsPerThread;
  auto outcomes = std::make_unique<std::atomic<int>[]>(kOutgoing);
  std::atomic<bool> stop{false};

  std::vector<std::thread> threads;
  // Answering threads: reply to even ids, reject odd ones, and answer some twice.
  for (int t = 0; t < 2; ++t) {
    threads.emplace_back([] {
      for (;;) {
        std::pair<uint64_t, std::pair<ReplyFn, RejectFn>> call;
        {
          std::unique_lock lock(Queue().mutex);
          Queue().ready.wait(lock, [] { return Queue().closed || !Queue().calls.empty(); });
          if (Queue().calls.empty()) return;
          call = Queue().calls.front();
          Queue().calls.pop_front();
        }
        auto [id, entries] = call;
        if (id % 2 == 0) {
          entries.first(id, "\x0a\x01x", 3);
        } else {
          entries.second(id, id % 3 == 0 ? nullptr : "no");
        }
        if (id % 5 == 0) entries.first(id, "", 0);
      }
    });
  }
  // The host function comes and goes.
  threads.emplace_back([&stop] {
    int round = 0;
    while (!stop.load()) {
      ::set_host_invoke(round % 3 == 0 ? nullptr
                                       : (round % 3 == 1 ? &OtherQueueingHost : &QueueingHost));
      ++round;
      std::this_thread::yield();
    }
    ::set_host_invoke(&QueueingHost);
  });

  std::vector<std::thread> callers;
  for (int t = 0; t < kThreads; ++t) {
    callers.emplace_back([t, &outcomes] {
      StringValue request;
      request.set_value("payload");
      const std::string bytes = request.SerializeAsString();
      for (int i = 0; i < kCallsPerThread; ++i) {
        const int index = t * kCallsPerThread + i;
        kz::rpc::Request<StringValue, StringValue>(
            "HostService", "Method", request,
            [&outcomes, index](kz::rpc::Result<StringValue>) { outcomes[index].fetch_add(1); });
        const uint64_t inbound_id = static_cast<uint64_t>(index);
        const char* method = i % 3 == 0 ? "Silent" : (i % 3 == 1 ? "Echo" : "Ping");
        ::invoke(inbound_id, "RpcTestService", method, i % 3 == 1 ? bytes.data() : nullptr,
                 i % 3 == 1 ? bytes.size() : 0, &AnswerLog::Reply, &AnswerLog::Reject);
      }
    });
  }
  for (std::thread& caller : callers) caller.join();
  stop.store(true);
  threads.back().join();
  threads.pop_back();
  {
    std::lock_guard lock(Queue().mutex);
    Queue().closed = true;
    Queue().ready.notify_all();
  }
  for (std::thread& thread : threads) thread.join();

  for (int index = 0; index < kOutgoing; ++index) {
    ASSERT_EQ(outcomes[index].load(), 1) << "outgoing call " << index;
  }
  std::vector<Answer> answers = AnswerLog::Take();
  ASSERT_EQ(answers.size(), static_cast<size_t>(kOutgoing));
  std::vector<int> per_id(kOutgoing, 0);
  for (const Answer& answer : answers) ++per_id.at(answer.id);
  for (int id = 0; id < kOutgoing; ++id) EXPECT_EQ(per_id[id], 1) << "inbound call " << id;
  ::set_host_invoke(nullptr);
}

}  // namespace
}  // namespace kz::testing
