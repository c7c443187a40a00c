// kz::rpc::HandleLock: the lock of one completion handle, a mutex of the handle's own on the heap.
//
// Every inbound call makes a handle and takes its lock once, so both the lock and its storage are
// made cheap:
//   - HandleMutex is one atomic word: a free lock is taken with one compare-and-swap and released
//     with one exchange, with no call into the thread library; a thread that finds it taken sleeps
//     on the word until the holder releases it.
//   - Each thread keeps the storage of the last lock it released and builds the next lock it makes
//     in it, so a thread that answers calls one after another allocates once. The storage a thread
//     keeps is freed when the thread ends.
//
// Threads: a lock may be released on another thread than the one that made it; each thread only
// ever touches its own spare storage.
#ifndef SRC_NATIVE_RPC_HANDLE_LOCK_H_
#define SRC_NATIVE_RPC_HANDLE_LOCK_H_

#include <atomic>
#include <memory>
#include <new>
#include <utility>

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

namespace handle_lock_internal {

// This thread's spare lock storage, and whether its release at thread exit is arranged.
struct Spare {
  void* storage = nullptr;
  bool reclaim_armed = false;
};
inline thread_local Spare spare;

// Frees this thread's spare storage when the thread ends, once armed: the first use of the
// thread's reclaimer arranges its destruction at thread exit.
struct Reclaimer {
  bool armed = false;
  ~Reclaimer() { ::operator delete(std::exchange(spare.storage, nullptr)); }
};
inline thread_local Reclaimer reclaimer;

}  // namespace handle_lock_internal

// Destroys a handle lock and keeps its storage as this thread's spare, or frees it when the thread
// has one already.
struct HandleLockRelease {
  void operator()(HandleMutex* lock) const noexcept {
    using handle_lock_internal::spare;
    lock->~HandleMutex();
    if (spare.storage != nullptr) {
      ::operator delete(lock);
      return;
    }
    if (!spare.reclaim_armed) {
      handle_lock_internal::reclaimer.armed = true;
      spare.reclaim_armed = true;
    }
    spare.storage = lock;
  }
};

using HandleLock = std::unique_ptr<HandleMutex, HandleLockRelease>;

// A new, unlocked handle lock, in this thread's spare storage when it has one.
inline HandleLock MakeHandleLock() {
  void* storage = std::exchange(handle_lock_internal::spare.storage, nullptr);
  if (storage == nullptr) storage = ::operator new(sizeof(HandleMutex));
  return HandleLock(new (storage) HandleMutex());
}

}  // namespace kz::rpc

#endif  // SRC_NATIVE_RPC_HANDLE_LOCK_H_
