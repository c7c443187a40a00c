// The completion handle's lock: mutual exclusion when threads queue on it, and the storage a thread
// keeps for its next lock.
#include "rpc/handle_lock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

namespace kz::testing {
namespace {

using kz::rpc::HandleLock;
using kz::rpc::HandleMutex;
using kz::rpc::MakeHandleLock;

// Threads that hold the lock for a while, so that the others find it taken and sleep on it: every
// increment survives, and every sleeper is woken (the test would hang otherwise).
TEST(HandleMutexTest, ExcludesAndWakesQueuedThreads) {
  HandleMutex mutex;
  long counter = 0;
  constexpr int kThreads = 4;
  constexpr int kRounds = 2000;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      for (int round = 0; round < kRounds; ++round) {
        mutex.lock();
        const long seen = counter;
        if (round % 100 == 0) std::this_thread::sleep_for(std::chrono::microseconds(50));
        counter = seen + 1;
        mutex.unlock();
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(counter, long{kThreads} * kRounds);
}

TEST(HandleLockTest, ThreadBuildsItsNextLockInTheStorageOfItsLast) {
  // On a thread of its own, whose spare storage starts empty and is freed when it ends.
  std::thread([] {
    HandleMutex* first = nullptr;
    {
      HandleLock lock = MakeHandleLock();
      first = lock.get();
    }
    HandleLock again = MakeHandleLock();
    EXPECT_EQ(again.get(), first);

    // Two locks alive at once: the second gets storage of its own; when both are released, the
    // thread keeps one block and frees the other.
    HandleLock other = MakeHandleLock();
    EXPECT_NE(other.get(), again.get());
    again.reset();
    other.reset();
    HandleLock last = MakeHandleLock();
    EXPECT_EQ(last.get(), first);
    last->lock();
    last->unlock();
  }).join();
}

}  // namespace
}  // namespace kz::testing
