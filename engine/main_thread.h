// The engine's main thread: it runs the main run loop, draining the main dispatch queue, while the
// session works on a thread of its own.
#ifndef ENGINE_MAIN_THREAD_H_
#define ENGINE_MAIN_THREAD_H_

namespace engine {

// Runs the main run loop on the calling thread (the process's main thread) until
// StopMainThreadLoop.
void RunMainThreadLoop();

// Makes RunMainThreadLoop return once the tasks queued before this call have run. Any thread.
void StopMainThreadLoop();

// Waits until the main thread has run every task queued before this call. Not on the main thread.
void WaitForMainThread();

}  // namespace engine

#endif  // ENGINE_MAIN_THREAD_H_
