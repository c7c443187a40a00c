// kz::rpc::Callback<T>: the once-only completion handle a service method receives with its request.
// It turns a response of type T, or an error text, into exactly one call of the host's reply or
// reject function, and rejects the call by itself when it is destroyed unanswered.
//
// Threads: `Complete` and `Reject` may race from different threads; exactly one of them answers.
// The handle must not be destroyed while another thread is inside one of its operations. The handle
// is neither copyable nor movable: it lives exactly as long as the service method that receives it.
#ifndef SRC_NATIVE_RPC_CALLBACK_H_
#define SRC_NATIVE_RPC_CALLBACK_H_

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <utility>

#include "rpc/error_texts.h"
#include "rpc/handle_lock.h"
#include "rpc/service.h"

namespace kz::rpc {

template <typename T>
class Callback {
 public:
  // Made only by the generated CallMethod, directly as the service method's argument, from the
  // answer functions CallMethod received (moved in without further copies).
  Callback(uint64_t call_id, ReplyFunction&& reply_fn, RejectFunction&& reject_fn)
      : id(call_id),
        reply(std::move(reply_fn)),
        reject(std::move(reject_fn)),
        pending(true),
        mutex(MakeHandleLock()) {}

  Callback(const Callback&) = delete;
  Callback& operator=(const Callback&) = delete;

  ~Callback() { AutoCancelIfPending(); }

  // Answers the call with `response`, unless it was answered already. Use as
  // `std::move(callback).Complete(response)`.
  void Complete(T response) && {
    if (!TakeAnswer()) return;
    // The host's function runs without the lock: it may re-enter the library.
    const size_t size = response.ByteSizeLong();
    if (size <= kStackResponseBytes) {
      // The usual small response is encoded on the stack, with no string to build and free.
      uint8_t bytes[kStackResponseBytes];
      response.SerializeWithCachedSizesToArray(bytes);
      reply(id, reinterpret_cast<const char*>(bytes), size);
      return;
    }
    const std::string bytes = response.SerializeAsString();
    reply(id, bytes.data(), bytes.size());
  }

  // Rejects the call with `error`, unless it was answered already. Use as
  // `std::move(callback).Reject(text)`.
  void Reject(std::string error) && {
    if (!TakeAnswer()) return;
    reject(id, error.c_str());
  }

  // Rejects the call with the cancellation text if nobody answered it. Run by the destructor.
  void AutoCancelIfPending() {
    // An answered handle stays answered, so once `pending` reads false there is nothing to lock
    // for: the usual end of a handle whose method answered takes no lock.
    if (!pending.load(std::memory_order_acquire) || !reject) return;
    if (!TakeAnswer()) return;
    reject(id, kCallbackDropped);
  }

 private:
  // Responses up to this many bytes are encoded on the stack; larger ones into a string.
  static constexpr size_t kStackResponseBytes = 256;

  uint64_t id;
  ReplyFunction reply;
  RejectFunction reject;
  // Changed only under *mutex, from true to false once; read without it only to skip the lock when
  // it is already false.
  std::atomic<bool> pending;
  HandleLock mutex;

  // Moves the handle from pending to answered. True for the one operation that does so: from then
  // on that operation alone uses `reply` and `reject`, so it calls them without the lock, and no
  // other operation touches them again.
  bool TakeAnswer() {
    std::lock_guard lock(*mutex);
    if (!pending.load(std::memory_order_relaxed)) return false;
    pending.store(false, std::memory_order_release);
    return true;
  }
};

}  // namespace kz::rpc

#endif  // SRC_NATIVE_RPC_CALLBACK_H_
