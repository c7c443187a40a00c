// kz::rpc::Transport: the library's single router between the host boundary and the services. It
// keeps the registry of services by name, dispatches inbound calls, passes outgoing calls to the
// host's call-out function and routes the host's answers back to the waiting callers by request id.
//
// Threads: every member may be called from any thread at any time. No lock is held while a service
// method, the host's call-out function, an answer or a caller's callback runs, so all of them may
// re-enter the transport, and no two of the transport's locks are ever held together. Inbound calls
// take no lock at all.
#ifndef SRC_NATIVE_RPC_TRANSPORT_H_
#define SRC_NATIVE_RPC_TRANSPORT_H_

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "rpc/export.h"
#include "rpc/host_boundary.h"
#include "rpc/request.h"
#include "rpc/serialized_result.h"
#include "rpc/service.h"

namespace kz::rpc {

class KZ_EXPORT Transport {
 public:
  // The process-wide instance, created on first use and never destroyed.
  static Transport* GetInstance();

  Transport();
  // Releases the registry's keys and the pending callbacks without running them. The process-wide
  // instance is never destroyed.
  ~Transport();

  Transport(const Transport&) = delete;
  Transport& operator=(const Transport&) = delete;

  // Adds `service` under its descriptor's full name. The first registration under a name wins; a
  // later one is dropped silently and the refused object stays its owner's. The registry does not
  // own it.
  void RegisterService(Service* service);

  // Dispatches one inbound call and answers it exactly once through `reply` or `reject`, on the
  // calling thread, before returning. A call with a null `reply` or `reject` is dropped.
  void Invoke(uint64_t id, const char* service, const char* method, const char* data, size_t len,
              ReplyFn reply, RejectFn reject);

  // Installs, replaces or (with null) removes the host's call-out function.
  void SetHostInvoke(HostInvokeFn fn);

  // Starts one outgoing call. Its outcome reaches `callback` exactly once: at once when no host
  // function is installed, otherwise when the host answers (possibly during this call, from inside
  // the host function). An empty `callback` is ignored and nothing is sent.
  void Request(std::string service, std::string method, std::string payload,
               std::function<void(SerializedResult)> callback);

  // The host's reply to outgoing call `id`; ignored unless the call is pending.
  void OnHostReply(uint64_t id, const char* data, size_t len);

  // The host's rejection of outgoing call `id` (a null `error` means the empty text); ignored
  // unless the call is pending.
  void OnHostReject(uint64_t id, const char* error);

 private:
  using PendingCallback = std::function<void(SerializedResult)>;

  // An immutable snapshot of the registry: every registered service under its descriptor's full
  // name, with its methods by name, each with its descriptor and request prototype, so an inbound
  // call looks up two names and asks the service nothing before it dispatches. Defined in
  // transport.cc.
  struct Registry;

  // One slot of the pending table. The call with id `id` goes to slot id % kPendingSlots, so
  // consecutive calls take consecutive slots, each on a cache line of its own, and a slot is as a
  // rule free again long before its turn comes round. `state` tells who has the slot: 0 while it is
  // free, kClaimed while one thread writes or takes the callback, otherwise the id of the call
  // whose callback it holds. A thread claims the slot by changing `state` from what it expects to
  // kClaimed and gives it up by storing the new state, so `callback` is only ever touched by the
  // one thread that holds the claim, and a call is taken by exactly one answer.
  static constexpr size_t kPendingSlots = 256;
  static constexpr uint64_t kClaimed = ~uint64_t{0};
  struct alignas(64) PendingSlot {
    std::atomic<uint64_t> state{0};
    PendingCallback callback;
  };

  // Starts an outgoing call without copying the names: `RequestSerialized` calls it directly. Not
  // exported.
  __attribute__((visibility("hidden"))) void Send(const char* service, const char* method,
                                                  const std::string& payload,
                                                  PendingCallback&& callback);
  friend void RequestSerialized(const char* service, const char* method,
                                const google::protobuf::Message& request,
                                std::function<void(SerializedResult)> callback);

  // Removes and returns the pending callback of `id`, or an empty function when none is pending.
  PendingCallback TakePendingCall(uint64_t id);

  // The registry. Readers (Invoke) load `services` and read the snapshot it points to without any
  // lock, so inbound calls on different threads write no shared cache line. Writers
  // (RegisterService) hold `services_lock`, publish a new snapshot with the service added, and keep
  // every older snapshot in `registries` until the transport is destroyed, since a reader may still
  // be reading one; registrations are few and services are never removed.
  std::mutex services_lock;
  std::atomic<const Registry*> services;
  std::vector<std::unique_ptr<const Registry>> registries;  // guarded by services_lock

  // The outgoing side. No lock covers the host function and the request counter: a call reads the
  // host function once and takes an id only when there is one, so a call without a host consumes no
  // id, and ids are handed out in increasing order. The counter has a cache line of its own, since
  // every call writes it.
  std::atomic<HostInvokeFn> host_invoke{nullptr};
  alignas(64) std::atomic<uint64_t> next_request_id{1};
  // The pending calls: in their slots, or in `overflow` when their slot was still held by an older
  // call the host had not answered (a host that never answers a call costs the calls that meet its
  // slot an entry in the map each). Nothing is allocated per call otherwise, and no lock is taken.
  PendingSlot pending_calls[kPendingSlots];
  std::mutex overflow_lock;
  std::unordered_map<uint64_t, PendingCallback> overflow;  // guarded by overflow_lock
};

// Registers `service` with the process-wide transport.
KZ_EXPORT void RegisterService(Service* service);

}  // namespace kz::rpc

#endif  // SRC_NATIVE_RPC_TRANSPORT_H_
