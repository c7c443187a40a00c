#include "standin/main_queue.h"

#include <Foundation/NSObject.h>
#include <dispatch/dispatch.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <utility>

// A queue's public face: only its address is used.
struct dispatch_queue_s {
  const char* label;
};

struct dispatch_queue_s _dispatch_main_q {
  "main-thread"
};

namespace {

struct MainQueue {
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<dispatch_block_t> tasks;  // Guarded by mutex.
  bool stop_requested = false;         // Guarded by mutex.
  bool running_task = false;           // Main thread only.
};

// Never destroyed: threads may still queue while the process exits, and tasks left queued then are
// never run nor destroyed.
MainQueue& Main() {
  static auto* queue = new MainQueue();
  return *queue;
}

[[noreturn]] void Fatal(const char* what) {
  std::fprintf(stderr, "dispatch: %s\n", what);
  std::abort();
}

void RequireMainThread(const char* operation) {
  if (!standin::IsMainThread()) {
    std::fprintf(stderr, "dispatch: %s called off the main thread\n", operation);
    std::abort();
  }
}

// Runs one task inside an autorelease pool of its own, then destroys the task and what it holds.
void RunTask(dispatch_block_t task) {
  Main().running_task = true;
  void* pool = objc_autoreleasePoolPush();
  task();
  objc_autoreleasePoolPop(pool);
  task = nullptr;
  Main().running_task = false;
}

}  // namespace

extern "C" void dispatch_async(dispatch_queue_t queue, dispatch_block_t block) {
  if (queue == nullptr) Fatal("dispatch_async on a null queue");
  if (queue != &_dispatch_main_q) Fatal("dispatch_async on a queue other than the main queue");
  if (!block) Fatal("dispatch_async with an empty block");
  MainQueue& main = Main();
  {
    std::lock_guard lock(main.mutex);
    main.tasks.push_back(std::move(block));
  }
  main.changed.notify_all();
}

extern "C" void dispatch_async_f(dispatch_queue_t queue, void* context, dispatch_function_t work) {
  if (work == nullptr) Fatal("dispatch_async_f with a null function");
  dispatch_async(queue, [context, work] { work(context); });
}

namespace standin {

bool IsMainThread() { return syscall(SYS_gettid) == getpid(); }

size_t DrainMainQueue() {
  RequireMainThread("DrainMainQueue");
  MainQueue& queue = Main();
  if (queue.running_task) return 0;
  size_t ran = 0;
  for (;;) {
    dispatch_block_t task;
    {
      std::lock_guard lock(queue.mutex);
      if (queue.tasks.empty()) return ran;
      task = std::move(queue.tasks.front());
      queue.tasks.pop_front();
    }
    RunTask(std::move(task));
    ++ran;
  }
}

bool RunMainRunLoop(std::optional<std::chrono::milliseconds> limit) {
  RequireMainThread("RunMainRunLoop");
  MainQueue& queue = Main();
  const auto deadline = std::chrono::steady_clock::now() + limit.value_or(std::chrono::hours(0));
  std::unique_lock lock(queue.mutex);
  for (;;) {
    auto ready = [&] {
      return queue.stop_requested || (!queue.running_task && !queue.tasks.empty());
    };
    if (limit) {
      if (!queue.changed.wait_until(lock, deadline, ready)) return false;
    } else {
      queue.changed.wait(lock, ready);
    }
    if (queue.stop_requested) {
      queue.stop_requested = false;
      return true;
    }
    dispatch_block_t task = std::move(queue.tasks.front());
    queue.tasks.pop_front();
    lock.unlock();
    RunTask(std::move(task));
    lock.lock();
  }
}

void StopMainRunLoop() {
  MainQueue& queue = Main();
  {
    std::lock_guard lock(queue.mutex);
    queue.stop_requested = true;
  }
  queue.changed.notify_all();
}

size_t PendingMainQueueTasks() {
  MainQueue& queue = Main();
  std::lock_guard lock(queue.mutex);
  return queue.tasks.size();
}

}  // namespace standin
