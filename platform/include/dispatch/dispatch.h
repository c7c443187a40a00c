// The stand-in Grand Central Dispatch: the main queue only. Tasks queued on it with dispatch_async
// run one at a time, in the order queued, on the process's main thread (its initial thread) while
// that thread runs its run loop or drains the queue (standin/main_queue.h); each task runs inside
// an autorelease pool of its own. Queueing returns at once and may be done from any thread.
#ifndef PLATFORM_INCLUDE_DISPATCH_DISPATCH_H_
#define PLATFORM_INCLUDE_DISPATCH_DISPATCH_H_

#include <functional>

struct dispatch_queue_s;
typedef struct dispatch_queue_s* dispatch_queue_t;

// A block: the task and everything it captured. The queue keeps its own copy until the task has
// run, then destroys it.
typedef std::function<void()> dispatch_block_t;
typedef void (*dispatch_function_t)(void* context);

extern "C" {

// The main queue.
extern struct dispatch_queue_s _dispatch_main_q;

// Queues `block` on `queue` and returns at once. A null queue or an empty block is a programming
// error and ends the process, as on the platform.
void dispatch_async(dispatch_queue_t queue, dispatch_block_t block);

// Queues `work(context)` on `queue` and returns at once. A null queue or function ends the process.
void dispatch_async_f(dispatch_queue_t queue, void* context, dispatch_function_t work);

}  // extern "C"

inline dispatch_queue_t dispatch_get_main_queue() { return &_dispatch_main_q; }

#endif  // PLATFORM_INCLUDE_DISPATCH_DISPATCH_H_
