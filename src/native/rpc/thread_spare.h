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

  // Keeps `block` as this thread's spare, or frees it when the thread has one already or is ending.
  static void Give(void* block) noexcept {
    if (spare.block == nullptr && spare.state == State::kKept) {
      spare.block = block;
      return;
    }
    if (spare.block != nullptr || spare.state == State::kReclaimed) {
      ::operator delete(block);
      return;
    }
    // The thread's first spare: its reclaimer's first use arranges its destruction at thread exit.
    reclaimer.armed = true;
    spare.state = State::kKept;
    spare.block = block;
  }

 private:
  // Whether the thread's reclaimer is armed (kKept), not yet (kNone), or has run (kReclaimed): a
  // block given back after that, by another thread-exit destructor, is freed at once.
  enum class State : unsigned char { kNone, kKept, kReclaimed };

  // This thread's spare block.
  struct Spare {
    void* block = nullptr;
    State state = State::kNone;
  };

  // Frees this thread's spare block when the thread ends.
  struct Reclaimer {
    bool armed = false;
    ~Reclaimer() {
      ::operator delete(std::exchange(spare.block, nullptr));
      spare.state = State::kReclaimed;
    }
  };

  static inline thread_local Spare spare;
  static inline thread_local Reclaimer reclaimer;
};

}  // namespace kz::rpc

#endif  // SRC_NATIVE_RPC_THREAD_SPARE_H_
