#include "bridge_calls.h"

#include <google/protobuf/empty.pb.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "clipboard.rpc.h"
#include "frontmost_app.rpc.h"
#include "opaque.h"
#include "recording_overlay.rpc.h"
#include "rpc/host_boundary.h"
#include "rpc/result.h"
#include "rpc/transport.h"

namespace ondrel::bench {
namespace {

using google::protobuf::Empty;
using kz::rpc::Callback;
using kz::rpc::Result;

// ---- Services and the host's functions ----

class BenchAutomationService final : public AutomationService {
 public:
  void Paste(const Empty* /*request*/, Callback<Empty> callback) override {
    std::move(callback).Complete(Empty());
  }
};

class BenchFrontmostAppService final : public FrontmostAppService {
 public:
  void RestoreFrontmostApp(const AppSnapshot* /*request*/,
                           Callback<RestoreResult> callback) override {
    std::move(callback).Complete(Restored());
  }

 private:
  // The response is made right in Complete's argument.
  static RestoreResult Restored() {
    RestoreResult result;
    result.set_success(true);
    return result;
  }
};

class BenchOverlayService final : public RecordingOverlayService {
 public:
  void Show(const RecordingOverlayPhase* /*request*/, Callback<Empty> callback) override {
    std::move(callback).Complete(Empty());
  }
};

// The host's reply function for inbound calls: takes the bytes and does nothing with them.
void Sink(uint64_t id, const char* data, size_t len) {
  Opaque(id);
  Opaque(data);
  Opaque(len);
}

// No benchmark call may be rejected: that would measure a different path.
void FailOnReject(uint64_t id, const char* error) {
  std::fprintf(stderr, "call %llu rejected: %s\n", static_cast<unsigned long long>(id), error);
  std::abort();
}

// The host's call-out function: answers every call at once, with zero bytes (an empty message).
void AnsweringHost(uint64_t id, const char* /*service*/, const char* /*method*/, const char* data,
                   size_t len, ReplyFn reply, RejectFn /*reject*/) {
  Opaque(data);
  Opaque(len);
  reply(id, nullptr, 0);
}

template <typename T>
void CheckOk(Result<T> result) {
  if (!result.value.has_value()) {
    std::fprintf(stderr, "outgoing call failed: %s\n", result.error.c_str());
    std::abort();
  }
}

std::string Encoded(const google::protobuf::Message& message) {
  return message.SerializeAsString();
}

const std::string& SmallRequest() {
  static const std::string* bytes = [] {
    AppSnapshot snapshot;
    snapshot.set_bundle_id("com.apple.Notes");
    snapshot.set_app_name("Notes");
    snapshot.set_process_id(4242);
    return new std::string(Encoded(snapshot));
  }();
  return *bytes;
}

const std::string& PhaseRequest(size_t size) {
  auto make = [](size_t text_size) {
    RecordingOverlayPhase phase;
    phase.set_phase(std::string(text_size, 'x'));
    return new std::string(Encoded(phase));
  };
  static const std::string* small = make(kSmallPayload);
  static const std::string* large = make(kLargePayload);
  return size == kSmallPayload ? *small : *large;
}

void Invoke(const char* service, const char* method, const std::string& request) {
  ::invoke(1, service, method, request.data(), request.size(), &Sink, &FailOnReject);
}

// ---- The floors ----

class FloorHandler {
 public:
  virtual ~FloorHandler() = default;
  virtual void Call(const google::protobuf::Message& request, uint64_t id, ReplyFn reply) = 0;
};

class EmptyFloorHandler final : public FloorHandler {
 public:
  void Call(const google::protobuf::Message& /*request*/, uint64_t id, ReplyFn reply) override {
    const std::string bytes = Empty().SerializeAsString();
    reply(id, bytes.data(), bytes.size());
  }
};

class SmallFloorHandler final : public FloorHandler {
 public:
  void Call(const google::protobuf::Message& /*request*/, uint64_t id, ReplyFn reply) override {
    RestoreResult result;
    result.set_success(true);
    const std::string bytes = result.SerializeAsString();
    reply(id, bytes.data(), bytes.size());
  }
};

// The request is made from its type's prototype, as a bridge that learns the type from the method
// name at run time must, and decoded; the handler's type is unknown to the caller.
template <typename Request>
void FloorCall(FloorHandler* handler, const std::string& payload) {
  const google::protobuf::Message* prototype = &Request::default_instance();
  Opaque(prototype);
  std::unique_ptr<google::protobuf::Message> request(prototype->New());
  request->ParseFromArray(payload.data(), static_cast<int>(payload.size()));
  Opaque(handler);
  handler->Call(*request, 1, &Sink);
}

// The caller waiting for the floor's outgoing answer: a one-entry table.
thread_local std::function<void(Result<Empty>)>* floor_waiting = nullptr;

void FloorReply(uint64_t /*id*/, const char* data, size_t len) {
  Empty response;
  response.ParseFromArray(data, static_cast<int>(len));
  (*floor_waiting)(Result<Empty>::Ok(std::move(response)));
}

}  // namespace

void PrepareBridge() {
  [[maybe_unused]] static const bool prepared = [] {
    kz::rpc::RegisterService(new BenchAutomationService());
    kz::rpc::RegisterService(new BenchFrontmostAppService());
    kz::rpc::RegisterService(new BenchOverlayService());
    ::set_host_invoke(&AnsweringHost);
    SmallRequest();
    PhaseRequest(kSmallPayload);
    return true;
  }();
}

void InboundEmpty() { ::invoke(1, "AutomationService", "Paste", nullptr, 0, &Sink, &FailOnReject); }

void InboundSmall() { Invoke("FrontmostAppService", "RestoreFrontmostApp", SmallRequest()); }

void InboundPayloadSmall() {
  Invoke("RecordingOverlayService", "Show", PhaseRequest(kSmallPayload));
}

void InboundPayloadLarge() {
  Invoke("RecordingOverlayService", "Show", PhaseRequest(kLargePayload));
}

void InboundFloorEmpty() {
  static EmptyFloorHandler handler;
  static const std::string no_bytes;
  FloorCall<Empty>(&handler, no_bytes);
}

void InboundFloorSmall() {
  static SmallFloorHandler handler;
  FloorCall<AppSnapshot>(&handler, SmallRequest());
}

void OutgoingEmpty() { kz::rpc::automation.Paste(Empty(), &CheckOk<Empty>); }

void OutgoingFloorEmpty() {
  std::function<void(Result<Empty>)> callback = &CheckOk<Empty>;
  const std::string bytes = Empty().SerializeAsString();
  HostInvokeFn host = &AnsweringHost;
  Opaque(host);  // a host of unknown address: the call stays indirect
  floor_waiting = &callback;
  host(0, "AutomationService", "Paste", bytes.data(), bytes.size(), &FloorReply, &FailOnReject);
  floor_waiting = nullptr;
}

}  // namespace ondrel::bench
