#include "rpc/transport.h"

#include <climits>
#include <memory>
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

}  // namespace

Service::~Service() = default;

Transport* Transport::GetInstance() {
  static Transport* const instance = new Transport();
  return instance;
}

Transport::Transport() = default;
Transport::~Transport() = default;

void Transport::RegisterService(Service* service) {
  if (service == nullptr) return;
  std::string key = service->GetDescriptor()->full_name();
  std::unique_lock lock(services_lock);
  services.try_emplace(std::move(key), service);
}

Service* Transport::FindService(const char* service) {
  if (service == nullptr) return nullptr;
  std::shared_lock lock(services_lock);
  auto it = services.find(service);
  return it == services.end() ? nullptr : it->second;
}

void Transport::Invoke(uint64_t id, const char* service, const char* method, const char* data,
                       size_t len, ReplyFn reply, RejectFn reject) {
  if (reply == nullptr || reject == nullptr) return;

  // The rejection is delivered after the registry lock is released, so the host may re-enter.
  Service* target = FindService(service);
  if (target == nullptr) {
    reject(id, kServiceNotFound);
    return;
  }

  const google::protobuf::MethodDescriptor* method_descriptor =
      method == nullptr ? nullptr : target->GetDescriptor()->FindMethodByName(method);
  if (method_descriptor == nullptr) {
    reject(id, kMethodNotFound);
    return;
  }

  std::unique_ptr<google::protobuf::Message> request(
      target->GetRequestPrototype(method_descriptor).New());
  if (!DecodeRequest(data, len, *request)) {
    reject(id, kRequestParseFailed);
    return;
  }

  target->CallMethod(method_descriptor, *request, id, ReplyFunction(reply), RejectFunction(reject));
}

void Transport::SetHostInvoke(HostInvokeFn fn) {
  std::lock_guard lock(calls_lock);
  host_invoke = fn;
}

void Transport::Request(std::string service, std::string method, std::string payload,
                        std::function<void(SerializedResult)> callback) {
  if (!callback) return;

  HostInvokeFn host = nullptr;
  uint64_t id = 0;
  {
    std::lock_guard lock(calls_lock);
    host = host_invoke;
    if (host != nullptr) {
      id = next_request_id++;
      pending_calls.emplace(id, std::move(callback));
    }
  }

  if (host == nullptr) {
    callback(SerializedResult{.ok = false, .data = {}, .error = kHostNotAvailable});
    return;
  }
  host(id, service.c_str(), method.c_str(), payload.data(), payload.size(), &HostReplyEntry,
       &HostRejectEntry);
}

std::function<void(SerializedResult)> Transport::TakePendingCall(uint64_t id) {
  std::lock_guard lock(calls_lock);
  auto it = pending_calls.find(id);
  if (it == pending_calls.end()) return {};
  std::function<void(SerializedResult)> callback = std::move(it->second);
  pending_calls.erase(it);
  return callback;
}

void Transport::OnHostReply(uint64_t id, const char* data, size_t len) {
  std::function<void(SerializedResult)> callback = TakePendingCall(id);
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
  std::function<void(SerializedResult)> callback = TakePendingCall(id);
  if (!callback) return;
  callback(SerializedResult{.ok = false, .data = {}, .error = error == nullptr ? "" : error});
}

void RegisterService(Service* service) { Transport::GetInstance()->RegisterService(service); }

}  // namespace kz::rpc
