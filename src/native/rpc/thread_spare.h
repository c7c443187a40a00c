// kz::rpc::ThreadSpare<Size>: heap blocks of `Size` bytes for objects that every call makes and
// drops again (a completion handle's lock, an outgoing call's decoding adapter). Each thread keeps
// the last block it gave back and hands it out again on its next Take, so a thread that makes calls
// one after another allocates once. The block a thread keeps is freed when the thread ends.
//
// Threads: a block may be given back on another thread than the one that took it; each thread only
// ever touches its own spare.
#ifndef SRC_NATIVE_RPC_THREAD_SPARE_H_
#define SRC_NATIVE_RPC_THREAD_SPARE_H_

#include <cstddef>
#include <new>
#include <utility>

namespace kz::rpc {

template <size_t Size>
class ThreadSpare {
 public:
  // This thread's spare block, or a new one.
  static void* Take() {
    void* block = std::exchange(spare.block, nullptr);
    return block != nullptr ? block : ::operator new(Size);
  }

  // Keeps `block` as this thread's spare, or frees it when the thread has one already.
  static void Give(void* block) noexcept {
    if (spare.block != nullptr) {
      ::operator delete(block);
      return;
    }
    if (!spare.reclaim_armed) {
      reclaimer.armed = true;
      spare.reclaim_armed = true;
    }
    spare.block = block;
  }

 private:
  // This thread's spare block, and whether its release at thread exit is arranged.
  struct Spare {
    void* block = nullptr;
    bool reclaim_armed = false;
  };

  // Frees this thread's spare block when the thread ends, once armed: the first use of the
  // thread's reclaimer arranges its destruction at thread exit.
  struct Reclaimer {
    bool armed = false;
    ~Reclaimer() { ::operator delete(std::exchange(spare.block, nullptr)); }
  };

  static inline thread_local Spare spare;
  static inline thread_local Reclaimer reclaimer;
};

}  // namespace kz::rpc

#endif  // SRC_NATIVE_RPC_THREAD_SPARE_H_
