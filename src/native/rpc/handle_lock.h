// kz::rpc::HandleLock: the lock of one completion handle, a mutex of the handle's own on the heap.
//
// Every inbound call makes a handle and takes its lock once, so both the lock and its storage are
// made cheap:
//   - HandleMutex is one atomic flag: a free lock costs one atomic exchange and one store, with no
//     call into the thread library.
//   - Its storage comes from ThreadSpare: a thread that answers calls one after another allocates
//     once.
#ifndef SRC_NATIVE_RPC_HANDLE_LOCK_H_
#define SRC_NATIVE_RPC_HANDLE_LOCK_H_

#include <atomic>
#include <memory>
#include <new>
#include <thread>

#include "rpc/thread_spare.h"

namespace kz::rpc {

// A mutex for sections a few instructions long that never call out while held (BasicLockable): a
// free lock is taken with one atomic exchange and released with one store. A thread that finds it
// taken yields until it sees it free, then tries again; since the holder only tests and sets a flag
// before releasing it, the wait lasts as long as the holder takes to be scheduled again at most.
class HandleMutex {
 public:
  HandleMutex() = default;
  HandleMutex(const HandleMutex&) = delete;
  HandleMutex& operator=(const HandleMutex&) = delete;

  void lock() {
    while (locked_.exchange(true, std::memory_order_acquire)) {
      while (locked_.load(std::memory_order_relaxed)) std::this_thread::yield();
    }
  }

  void unlock() { locked_.store(false, std::memory_order_release); }

 private:
  std::atomic<bool> locked_{false};
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
