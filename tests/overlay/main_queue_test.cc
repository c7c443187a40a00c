// The main dispatch queue: tasks queued from any thread run later, one at a time, in order, on the
// main thread, each in an autorelease pool of its own, while the main thread drains the queue or
// runs its run loop.
#include "standin/main_queue.h"

#include <Foundation/Foundation.h>
#include <dispatch/dispatch.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "standin/objects.h"

namespace {

using namespace std::chrono_literals;

TEST(MainQueueTest, TasksRunLaterOnTheMainThreadInTheOrderQueued) {
  ASSERT_TRUE(standin::IsMainThread());
  std::vector<int> order;
  std::vector<bool> on_main;
  for (int i = 0; i < 3; ++i) {
    dispatch_async(dispatch_get_main_queue(), [&, i] {
      order.push_back(i);
      on_main.push_back(standin::IsMainThread());
    });
  }
  EXPECT_TRUE(order.empty()) << "dispatch_async must return before the task runs";
  EXPECT_EQ(standin::PendingMainQueueTasks(), 3u);
  EXPECT_EQ(standin::DrainMainQueue(), 3u);
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(on_main, (std::vector<bool>{true, true, true}));
  EXPECT_EQ(standin::DrainMainQueue(), 0u);
}

TEST(MainQueueTest, TasksFromOtherThreadsRunOnTheMainThreadOneAtATimeInEachThreadsOrder) {
  constexpr int kThreads = 4;
  constexpr int kTasksPerThread = 50;
  std::vector<std::vector<int>> seen(kThreads);
  std::atomic<int> running{0};
  std::atomic<bool> overlapped{false};
  std::atomic<bool> off_main{false};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      EXPECT_FALSE(standin::IsMainThread());
      for (int i = 0; i < kTasksPerThread; ++i) {
        dispatch_async(dispatch_get_main_queue(), [&, t, i] {
          if (running.fetch_add(1) != 0) overlapped = true;
          if (!standin::IsMainThread()) off_main = true;
          seen[t].push_back(i);
          running.fetch_sub(1);
        });
      }
    });
  }
  std::atomic<bool> done{false};
  std::thread stopper([&] {
    for (std::thread& thread : threads) thread.join();
    // Queued after every task above, so the run loop stops once they have all run.
    dispatch_async(dispatch_get_main_queue(), [&] {
      done = true;
      standin::StopMainRunLoop();
    });
  });
  EXPECT_TRUE(standin::RunMainRunLoop(10s));
  stopper.join();
  EXPECT_TRUE(done);
  EXPECT_FALSE(overlapped);
  EXPECT_FALSE(off_main);
  for (const std::vector<int>& one_thread : seen) {
    ASSERT_EQ(one_thread.size(), static_cast<size_t>(kTasksPerThread));
    for (int i = 0; i < kTasksPerThread; ++i) EXPECT_EQ(one_thread[i], i);
  }
}

TEST(MainQueueTest, EachTaskDrainsItsOwnAutoreleasePoolAndThenDropsWhatItCaptured) {
  const long before = standin::LiveObjectCount();
  auto captured = std::make_shared<int>(7);
  std::weak_ptr<int> watch = captured;
  long live_inside = 0;
  dispatch_async(dispatch_get_main_queue(), [&, captured] {
    NSString::stringWithUTF8String("autoreleased inside the task");
    live_inside = standin::LiveObjectCount();
  });
  captured.reset();
  EXPECT_FALSE(watch.expired()) << "the queue keeps the task's captures until it has run";
  standin::DrainMainQueue();
  EXPECT_EQ(live_inside, before + 1);
  EXPECT_EQ(standin::LiveObjectCount(), before);
  EXPECT_EQ(standin::PendingAutoreleaseCount(), 0u);
  EXPECT_TRUE(watch.expired());
}

TEST(MainQueueTest, ATaskDrainedInsideAnOpenPoolLeavesThatPoolOpen) {
  void* outer = objc_autoreleasePoolPush();
  dispatch_async(dispatch_get_main_queue(), [] { NSString::stringWithUTF8String("task's own"); });
  standin::DrainMainQueue();
  EXPECT_EQ(standin::PendingAutoreleaseCount(), 0u);
  const long before = standin::LiveObjectCount();
  NSString::stringWithUTF8String("the outer pool's");
  EXPECT_EQ(standin::PendingAutoreleaseCount(), 1u) << "the outer pool is still in place";
  objc_autoreleasePoolPop(outer);
  EXPECT_EQ(standin::LiveObjectCount(), before);
}

TEST(MainQueueTest, TasksQueuedByTasksRunInTheSameDrainButNeverInsideTheirParent) {
  std::vector<std::string> log;
  dispatch_async(dispatch_get_main_queue(), [&] {
    log.push_back("outer starts");
    dispatch_async(dispatch_get_main_queue(), [&] { log.push_back("inner"); });
    EXPECT_EQ(standin::DrainMainQueue(), 0u) << "a nested drain runs nothing";
    log.push_back("outer ends");
  });
  EXPECT_EQ(standin::DrainMainQueue(), 2u);
  EXPECT_EQ(log, (std::vector<std::string>{"outer starts", "outer ends", "inner"}));
}

TEST(MainQueueTest, DispatchAsyncFCallsTheFunctionWithItsContext) {
  int value = 0;
  dispatch_async_f(dispatch_get_main_queue(), &value,
                   [](void* context) { *static_cast<int*>(context) = 42; });
  standin::DrainMainQueue();
  EXPECT_EQ(value, 42);
}

TEST(MainQueueTest, RunLoopStopsWhenAskedAndTimesOutOtherwise) {
  EXPECT_FALSE(standin::RunMainRunLoop(20ms)) << "nothing asked it to stop";

  // A stop asked before the run loop runs makes it return at once, leaving queued tasks queued.
  bool ran = false;
  dispatch_async(dispatch_get_main_queue(), [&] { ran = true; });
  standin::StopMainRunLoop();
  EXPECT_TRUE(standin::RunMainRunLoop(10s));
  EXPECT_FALSE(ran);
  EXPECT_EQ(standin::PendingMainQueueTasks(), 1u);

  // A task can stop the run loop it runs in; the tasks after it wait for the next run.
  std::vector<int> order;
  dispatch_async(dispatch_get_main_queue(), [&] {
    order.push_back(1);
    standin::StopMainRunLoop();
  });
  dispatch_async(dispatch_get_main_queue(), [&] { order.push_back(2); });
  EXPECT_TRUE(standin::RunMainRunLoop(10s));
  EXPECT_TRUE(ran);
  EXPECT_EQ(order, (std::vector<int>{1}));
  EXPECT_EQ(standin::DrainMainQueue(), 1u);
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
}

TEST(MainQueueDeathTest, DrainingOffTheMainThreadEndsTheProcess) {
  // The child re-executes the test binary: forking a process whose thread then aborts hangs under
  // ThreadSanitizer.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(std::thread([] { standin::DrainMainQueue(); }).join(), "off the main thread");
}

}  // namespace
