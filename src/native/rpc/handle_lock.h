// kz::rpc::HandleLock: the lock of one completion handle, a mutex of the handle's own on the heap.
//
// Every inbound call makes a handle and takes its lock once, so both the lock and its storage are
// made cheap:
//   - HandleMutex is one atomic word: a free lock is taken with one compare-and-swap and released
//     with one exchange, with no call into the thread library; a thread that finds it taken sleeps
//     on the word until the holder releases it.
//   - Its storage comes from ThreadSpare: a thread that answers calls one after another allocates
//     once.
#ifndef SRC_NATIVE_RPC_HANDLE_LOCK_H_
#define SRC_NATIVE_RPC_HANDLE_LOCK_H_

#include <atomic>
#include <memory>
#include <new>

#include "rpc/thread_spare.h"

namespace kz::rpc {

// A mutex for short sections with little contention (BasicLockable). The word is kFree, kLocked,
// or kContended when a thread may be sleeping on it, so that only then does unlock wake one.
class HandleMutex {
 public:
  HandleMutex() = default;
  HandleMutex(const HandleMutex&) = delete;
  HandleMutex& operator=(const HandleMutex&) = delete;

  void lock() {
    int expected = kFree;
    if (state_.compare_exchange_strong(expected, kLocked, std::memory_order_acquire,
                                       std::memory_order_relaxed)) {
      return;
    }
    // Taken: mark it contended and sleep until it is released. Whoever takes it this way leaves
    // it marked, since another thread may still be sleeping on it.
    while (state_.exchange(kContended, std::memory_order_acquire) != kFree) {
      state_.wait(kContended, std::memory_order_relaxed);
    }
  }

  void unlock() {
    if (state_.exchange(kFree, std::memory_order_release) == kContended) state_.notify_one();
  }

 private:
  static constexpr int kFree = 0;
  static constexpr int kLocked = 1;
  static constexpr int kContended = 2;

  std::atomic<int> state_{kFree};
};

// Destroys a handle lock and gives its storage back to this thread's spare.
struct HandleLockRelease {
  void operator()(HandleMutex* lock) const noexcept {
    lock->~HandleMutex();
    ThreadSpare<sizeof(HandleMutex)>::Give(lock);
  }
};

using HandleLock = std::unique_ptr<HandleMutex, HandleLockRelease>;

// A new, unlocked handle lock, in this thread's spare storage when it has one.
inline HandleLock MakeHandleLock() {
  return HandleLock(new (ThreadSpare<sizeof(HandleMutex)>::Take()) HandleMutex());
}

}  // namespace kz::rpc

#endif  // SRC_NATIVE_RPC_HANDLE_LOCK_H_
