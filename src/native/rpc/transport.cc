#include "rpc/transport.h"

#include <bit>
#include <climits>
#include <cstring>
#include <utility>

#include "rpc/error_texts.h"

namespace kz::rpc {
namespace {

// The two answer entries handed to the host with every outgoing call.
void HostReplyEntry(uint64_t id, const char* data, size_t len) {
  Transport::GetInstance()->OnHostReply(id, data, len);
}

void HostRejectEntry(uint64_t id, const char* error) {
  Transport::GetInstance()->OnHostReject(id, error);
}

// Decodes `data`/`len` into `request`. A null `data` with bytes to read, a length the parser cannot
// take, or bytes that are not a valid encoding of the request type are all failures; no bytes at
// all are the empty message.
bool DecodeRequest(const char* data, size_t len, google::protobuf::Message& request) {
  if (len == 0) return true;
  if (data == nullptr || len > static_cast<size_t>(INT_MAX)) return false;
  return request.ParseFromArray(data, static_cast<int>(len));
}

// A table from names to values, filled while it is private to its writer and only read afterwards.
// A lookup takes the caller's NUL-terminated text as it is: it builds no string, hashes the first
// two bytes and as a rule makes one comparison (open addressing over a power-of-two array with
// linear probing, at most half full). The tables hold a handful of names, services or one service's
// methods, which a hash this cheap spreads well enough; names that begin alike are still told apart
// by comparing them in turn.
template <typename Value>
class NameTable {
 public:
  // Adds `name` with `value` unless the name is present; false when it was.
  bool Insert(const std::string& name, Value value) {
    if (Find(name.c_str()) != nullptr) return false;
    if ((count_ + 1) * 2 > slots_.size()) Grow();
    Place(Slot{name, std::move(value), true});
    ++count_;
    return true;
  }

  const Value* Find(const char* name) const {
    if (name == nullptr || count_ == 0) return nullptr;
    for (size_t i = Home(name);; i = (i + 1) & mask_) {
      const Slot& slot = slots_[i];
      if (!slot.used) return nullptr;
      if (std::strcmp(slot.name.c_str(), name) == 0) return &slot.value;
    }
  }

 private:
  struct Slot {
    std::string name;
    Value value{};
    bool used = false;
  };

  // The slot where a lookup of `name` starts: the top bits of the first two bytes times 2^64 / phi
  // (Fibonacci hashing), as many bits as the table has slots.
  size_t Home(const char* name) const {
    const auto first = static_cast<unsigned char>(name[0]);
    const auto second = first == 0 ? 0u : static_cast<unsigned char>(name[1]);
    return static_cast<size_t>(((first * 256u + second) * 0x9e3779b97f4a7c15ULL) >> shift_);
  }

  void Place(Slot slot) {
    size_t i = Home(slot.name.c_str());
    while (slots_[i].used) i = (i + 1) & mask_;
    slots_[i] = std::move(slot);
  }

  void Grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_ = std::vector<Slot>(old.empty() ? 8 : old.size() * 2);
    mask_ = slots_.size() - 1;
    shift_ = 64 - std::countr_zero(slots_.size());
    for (Slot& slot : old) {
      if (slot.used) Place(std::move(slot));
    }
  }

  std::vector<Slot> slots_;
  size_t mask_ = 0;  // the slot count - 1
  int shift_ = 64;   // 64 - log2 of the slot count
  size_t count_ = 0;
};

// What an inbound call needs of one method.
struct RegisteredMethod {
  const google::protobuf::MethodDescriptor* descriptor = nullptr;
  const google::protobuf::Message* request_prototype = nullptr;
};

// One registered service with its methods, found once when it is registered.
struct RegisteredService {
  Service* service = nullptr;
  NameTable<RegisteredMethod> methods;
};

}  // namespace

struct Transport::Registry {
  NameTable<RegisteredService> services;
};

Service::~Service() = default;

Transport* Transport::GetInstance() {
  static Transport* const instance = new Transport();
  return instance;
}

Transport::Transport() {
  registries.push_back(std::make_unique<Registry>());
  services.store(registries.back().get(), std::memory_order_release);
}

Transport::~Transport() = default;

void Transport::RegisterService(Service* service) {
  if (service == nullptr) return;
  // Everything the service is asked is asked before the lock is taken.
  const google::protobuf::ServiceDescriptor* descriptor = service->GetDescriptor();
  RegisteredService entry{service, {}};
  for (int i = 0; i < descriptor->method_count(); ++i) {
    const google::protobuf::MethodDescriptor* method = descriptor->method(i);
    entry.methods.Insert(method->name(),
                         RegisteredMethod{method, &service->GetRequestPrototype(method)});
  }

  std::lock_guard lock(services_lock);
  const Registry* current = services.load(std::memory_order_relaxed);
  if (current->services.Find(descriptor->full_name().c_str()) != nullptr) return;  // first stays
  auto next = std::make_unique<Registry>(*current);
  next->services.Insert(descriptor->full_name(), std::move(entry));
  services.store(next.get(), std::memory_order_release);
  registries.push_back(std::move(next));
}

void Transport::Invoke(uint64_t id, const char* service, const char* method, const char* data,
                       size_t len, ReplyFn reply, RejectFn reject) {
  if (reply == nullptr || reject == nullptr) return;

  const RegisteredService* target =
      services.load(std::memory_order_acquire)->services.Find(service);
  if (target == nullptr) {
    reject(id, kServiceNotFound);
    return;
  }
  const RegisteredMethod* target_method = target->methods.Find(method);
  if (target_method == nullptr) {
    reject(id, kMethodNotFound);
    return;
  }

  std::unique_ptr<google::protobuf::Message> request(target_method->request_prototype->New());
  if (!DecodeRequest(data, len, *request)) {
    reject(id, kRequestParseFailed);
    return;
  }

  target->service->CallMethod(target_method->descriptor, *request, id, ReplyFunction(reply),
                              RejectFunction(reject));
}

void Transport::SetHostInvoke(HostInvokeFn fn) { host_invoke.store(fn, std::memory_order_release); }

void Transport::Request(std::string service, std::string method, std::string payload,
                        std::function<void(SerializedResult)> callback) {
  Send(service.c_str(), method.c_str(), payload, std::move(callback));
}

void Transport::Send(const char* service, const char* method, const std::string& payload,
                     PendingCallback&& callback) {
  if (!callback) return;

  const HostInvokeFn host = host_invoke.load(std::memory_order_acquire);
  if (host == nullptr) {
    PendingCallback local = std::move(callback);
    local(SerializedResult{.ok = false, .data = {}, .error = kHostNotAvailable});
    return;
  }
  const uint64_t id = next_request_id.fetch_add(1, std::memory_order_relaxed);

  PendingSlot& slot = pending_calls[id % kPendingSlots];
  uint64_t free_state = 0;
  if (slot.state.compare_exchange_strong(free_state, kClaimed, std::memory_order_acquire)) {
    slot.callback = std::move(callback);
    slot.state.store(id, std::memory_order_release);
  } else {
    // The slot still holds an older call that the host has not answered.
    std::lock_guard lock(overflow_lock);
    overflow.emplace(id, std::move(callback));
  }
  host(id, service, method, payload.data(), payload.size(), &HostReplyEntry, &HostRejectEntry);
}

Transport::PendingCallback Transport::TakePendingCall(uint64_t id) {
  PendingCallback callback;
  PendingSlot& slot = pending_calls[id % kPendingSlots];
  uint64_t expected = id;
  if (id != 0 && id != kClaimed &&
      slot.state.compare_exchange_strong(expected, kClaimed, std::memory_order_acquire)) {
    callback.swap(slot.callback);
    slot.state.store(0, std::memory_order_release);
    return callback;
  }
  // Not in its slot: waiting in the overflow map, or not pending at all.
  std::lock_guard lock(overflow_lock);
  auto it = overflow.find(id);
  if (it != overflow.end()) {
    callback.swap(it->second);
    overflow.erase(it);
  }
  return callback;
}

void Transport::OnHostReply(uint64_t id, const char* data, size_t len) {
  PendingCallback callback = TakePendingCall(id);
  if (!callback) return;
  if (len != 0 && data == nullptr) {
    // Bytes announced but none readable: the reply cannot be decoded, and must not pass as a
    // default message.
    callback(SerializedResult{.ok = false, .data = {}, .error = kResponseParseFailed});
    return;
  }
  callback(SerializedResult{
      .ok = true, .data = len == 0 ? std::string() : std::string(data, len), .error = {}});
}

void Transport::OnHostReject(uint64_t id, const char* error) {
  PendingCallback callback = TakePendingCall(id);
  if (!callback) return;
  callback(SerializedResult{.ok = false, .data = {}, .error = error == nullptr ? "" : error});
}

void RegisterService(Service* service) { Transport::GetInstance()->RegisterService(service); }

}  // namespace kz::rpc
