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
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "rpc/error_texts.h"
#include "rpc/service.h"

namespace kz::rpc {

template <typename T>
class Callback {
 public:
  // Made only by the generated CallMethod, directly as the service method's argument.
  Callback(uint64_t call_id, ReplyFunction reply_fn, RejectFunction reject_fn)
      : id(call_id),
        reply(std::move(reply_fn)),
        reject(std::move(reject_fn)),
        pending(true),
        mutex(std::make_unique<std::mutex>()) {}

  Callback(const Callback&) = delete;
  Callback& operator=(const Callback&) = delete;

  ~Callback() { AutoCancelIfPending(); }

  // Answers the call with `response`, unless it was answered already. Use as
  // `std::move(callback).Complete(response)`.
  void Complete(T response) && {
    ReplyFunction reply_now;
    {
      std::lock_guard lock(*mutex);
      if (!pending.load(std::memory_order_relaxed)) return;
      pending.store(false, std::memory_order_release);
      reply_now.swap(reply);
      reject = nullptr;
    }
    // The host's function runs without the lock: it may re-enter the library.
    const std::string bytes = response.SerializeAsString();
    reply_now(id, bytes.data(), bytes.size());
  }

  // Rejects the call with `error`, unless it was answered already. Use as
  // `std::move(callback).Reject(text)`.
  void Reject(std::string error) && {
    RejectFunction reject_now;
    {
      std::lock_guard lock(*mutex);
      if (!pending.load(std::memory_order_relaxed)) return;
      pending.store(false, std::memory_order_release);
      reject_now.swap(reject);
      reply = nullptr;
    }
    reject_now(id, error.c_str());
  }

  // Rejects the call with the cancellation text if nobody answered it. Run by the destructor.
  void AutoCancelIfPending() {
    // An answered handle stays answered, so once `pending` reads false there is nothing to lock
    // for: the usual end of a handle whose method answered takes no lock.
    if (!pending.load(std::memory_order_acquire)) return;
    RejectFunction reject_now;
    {
      std::lock_guard lock(*mutex);
      if (!pending.load(std::memory_order_relaxed) || !reject) return;
      pending.store(false, std::memory_order_release);
      reject_now.swap(reject);
      reply = nullptr;
    }
    reject_now(id, kCallbackDropped);
  }

 private:
  uint64_t id;
  ReplyFunction reply;
  RejectFunction reject;
  // Changed only under *mutex, from true to false once; read without it only to skip the lock when
  // it is already false.
  std::atomic<bool> pending;
  std::unique_ptr<std::mutex> mutex;
};

}  // namespace kz::rpc

#endif  // SRC_NATIVE_RPC_CALLBACK_H_
