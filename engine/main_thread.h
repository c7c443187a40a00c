// The engine's main thread: it runs the main run loop, draining the main dispatch queue, while the
// session works on a thread of its own.
#ifndef ENGINE_MAIN_THREAD_H_
#define ENGINE_MAIN_THREAD_H_

#include <functional>

namespace engine {

// Runs the main run loop on the calling thread (the process's main thread) until
// StopMainThreadLoop.
void RunMainThreadLoop();

// Makes RunMainThreadLoop return once the tasks queued before this call have run. Any thread.
void StopMainThreadLoop();

// Runs `work` on the main thread after every task queued before this call, and waits for it. Not on
// the main thread.
void RunOnMainThreadAndWait(const std::function<void()>& work);

// Waits until the main thread has run every task queued before this call. Not on the main thread.
void WaitForMainThread();

}  // namespace engine

#endif  // ENGINE_MAIN_THREAD_H_
