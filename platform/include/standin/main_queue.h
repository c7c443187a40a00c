// Test- and engine-facing control of the main thread's run loop, which runs the tasks queued on the
// main dispatch queue (dispatch/dispatch.h).
//
// The main thread is the process's initial thread. Only it may drain the queue or run the run loop;
// calling those from another thread is a programming error and ends the process. Tasks run one at a
// time: while a task runs, a drain inside it runs nothing and a run loop inside it only waits for a
// stop or its limit.
#ifndef PLATFORM_INCLUDE_STANDIN_MAIN_QUEUE_H_
#define PLATFORM_INCLUDE_STANDIN_MAIN_QUEUE_H_

#include <chrono>
#include <cstddef>
#include <optional>

namespace standin {

// Whether the calling thread is the process's main thread. Any thread.
bool IsMainThread();

// Runs queued tasks on the main thread until the queue is empty, tasks queued meanwhile (also by
// the tasks themselves) included, and returns how many ran. Main thread only.
size_t DrainMainQueue();

// Runs the main run loop: waits for tasks and runs them as they arrive until StopMainRunLoop is
// called, then returns true; or until `limit` has passed, then returns false. Main thread only.
bool RunMainRunLoop(std::optional<std::chrono::milliseconds> limit = std::nullopt);

// Makes the running run loop return after the task it is running, if any; when no run loop runs,
// the next one returns at once. Tasks still queued stay queued. Any thread, also from inside a
// task.
void StopMainRunLoop();

// Tasks queued and not yet started. Any thread.
size_t PendingMainQueueTasks();

}  // namespace standin

#endif  // PLATFORM_INCLUDE_STANDIN_MAIN_QUEUE_H_
