// The completion handle's lock: mutual exclusion when threads find it taken, and the block a thread
// keeps for the next lock (or decoding adapter) it makes.
#include "rpc/handle_lock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "rpc/thread_spare.h"

namespace kz::testing {
namespace {

using kz::rpc::HandleLock;
using kz::rpc::HandleMutex;
using kz::rpc::MakeHandleLock;

// Threads that hold the lock for a while, so that the others find it taken and wait for it: every
// increment survives.
TEST(HandleMutexTest, ExcludesThreadsThatFindItTaken) {
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

TEST(ThreadSpareTest, ThreadHandsOutTheBlockItGaveBackLast) {
  using Spare = kz::rpc::ThreadSpare<48>;
  // On a thread of its own, whose spare starts empty and is freed when it ends.
  std::thread([] {
    void* first = Spare::Take();
    Spare::Give(first);
    void* again = Spare::Take();
    EXPECT_EQ(again, first);

    // Two blocks out at once: the second is a block of its own; when both come back, the thread
    // keeps one and frees the other.
    void* other = Spare::Take();
    EXPECT_NE(other, again);
    Spare::Give(again);
    Spare::Give(other);
    EXPECT_EQ(Spare::Take(), first);
    Spare::Give(first);
  }).join();
}

// A thread-exit destructor that runs after the thread's spare was reclaimed and still makes and
// drops a block (as one answering a call would): the block is freed, not kept where nothing frees
// it any more. The leak check of the sanitizer build tells.
TEST(ThreadSpareTest, BlockGivenBackAfterTheThreadEndedIsFreed) {
  using Spare = kz::rpc::ThreadSpare<40>;
  struct LateUser {
    bool made = false;
    ~LateUser() { Spare::Give(Spare::Take()); }
  };
  std::thread([] {
    // Made before the spare's reclaimer, so destroyed after it.
    thread_local LateUser late_user;
    late_user.made = true;
    Spare::Give(Spare::Take());
  }).join();
}

TEST(HandleLockTest, LocksAreBuiltInTheThreadsSpareStorage) {
  std::thread([] {
    HandleMutex* first = nullptr;
    {
      HandleLock lock = MakeHandleLock();
      first = lock.get();
      lock->lock();
      lock->unlock();
    }
    HandleLock again = MakeHandleLock();
    EXPECT_EQ(again.get(), first);
  }).join();
}

}  // namespace
}  // namespace kz::testing
