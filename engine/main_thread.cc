#include "main_thread.h"

#include <dispatch/dispatch.h>

#include <condition_variable>
#include <mutex>

#include "standin/main_queue.h"

namespace engine {

void RunMainThreadLoop() { standin::RunMainRunLoop(); }

void StopMainThreadLoop() {
  // Queued behind everything before it, so those tasks still run.
  dispatch_async(dispatch_get_main_queue(), [] { standin::StopMainRunLoop(); });
}

void RunOnMainThreadAndWait(const std::function<void()>& work) {
  std::mutex mutex;
  std::condition_variable ran;
  bool done = false;
  dispatch_async(dispatch_get_main_queue(), [&] {
    work();
    std::lock_guard lock(mutex);
    done = true;
    ran.notify_one();
  });
  std::unique_lock lock(mutex);
  ran.wait(lock, [&] { return done; });
}

void WaitForMainThread() {
  RunOnMainThreadAndWait([] {});
}

}  // namespace engine
