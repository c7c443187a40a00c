// The bridge's methods as the fuzz targets' checks see them, written out from the contract rather
// than read from the library's descriptors, so the checks do not share the code they check: the
// names, the request and response types, whether AppMain serves the method, and how to send it
// through its generated client.
#ifndef FUZZ_BRIDGE_METHODS_H_
#define FUZZ_BRIDGE_METHODS_H_

#include <google/protobuf/empty.pb.h>
#include <google/protobuf/message.h>

#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "clipboard.rpc.h"
#include "frontmost_app.rpc.h"
#include "permissions.rpc.h"
#include "recording_overlay.rpc.h"

namespace ondrel::fuzz {

// The outcome of an outgoing call, with the value serialized so that one type serves all methods.
struct Outcome {
  std::optional<std::string> value;  // present exactly when the call succeeded
  std::string error;
};

struct BridgeMethod {
  const char* service;
  const char* method;
  const google::protobuf::Message* request;   // the request type's default instance
  const google::protobuf::Message* response;  // the response type's default instance
  bool served;                                // registered by AppMain
  // Sends `request` (of the request type) through the method's generated client.
  void (*send)(const google::protobuf::Message& request, std::function<void(Outcome)> done);
};

template <typename Resp>
std::function<void(kz::rpc::Result<Resp>)> Deliver(std::function<void(Outcome)> done) {
  return [done = std::move(done)](kz::rpc::Result<Resp> result) {
    Outcome outcome;
    if (result.value) outcome.value = result.value->SerializeAsString();
    outcome.error = std::move(result.error);
    done(std::move(outcome));
  };
}

template <typename T>
const T& As(const google::protobuf::Message& message) {
  return static_cast<const T&>(message);
}

using google::protobuf::Empty;
using google::protobuf::Message;
using Done = std::function<void(Outcome)>;

inline const BridgeMethod kBridgeMethods[] = {
    {"AutomationService", "Paste", &Empty::default_instance(), &Empty::default_instance(), true,
     [](const Message& request, Done done) {
       AutomationServiceClient().Paste(As<Empty>(request), Deliver<Empty>(std::move(done)));
     }},
    {"FrontmostAppService", "SnapshotFrontmostApp", &Empty::default_instance(),
     &AppSnapshot::default_instance(), true,
     [](const Message& request, Done done) {
       FrontmostAppServiceClient().SnapshotFrontmostApp(As<Empty>(request),
                                                        Deliver<AppSnapshot>(std::move(done)));
     }},
    {"FrontmostAppService", "RestoreFrontmostApp", &AppSnapshot::default_instance(),
     &RestoreResult::default_instance(), true,
     [](const Message& request, Done done) {
       FrontmostAppServiceClient().RestoreFrontmostApp(As<AppSnapshot>(request),
                                                       Deliver<RestoreResult>(std::move(done)));
     }},
    {"SystemPermissionsService", "GetPermissionsStatus", &Empty::default_instance(),
     &PermissionsStatusResponse::default_instance(), false,
     [](const Message& request, Done done) {
       SystemPermissionsServiceClient().GetPermissionsStatus(
           As<Empty>(request), Deliver<PermissionsStatusResponse>(std::move(done)));
     }},
    {"SystemPermissionsService", "OpenSystemSettings", &PermissionTypeRequest::default_instance(),
     &Empty::default_instance(), false,
     [](const Message& request, Done done) {
       SystemPermissionsServiceClient().OpenSystemSettings(As<PermissionTypeRequest>(request),
                                                           Deliver<Empty>(std::move(done)));
     }},
    {"SystemPermissionsService", "RequestPermission", &PermissionTypeRequest::default_instance(),
     &Empty::default_instance(), false,
     [](const Message& request, Done done) {
       SystemPermissionsServiceClient().RequestPermission(As<PermissionTypeRequest>(request),
                                                          Deliver<Empty>(std::move(done)));
     }},
    {"RecordingOverlayService", "Show", &RecordingOverlayPhase::default_instance(),
     &Empty::default_instance(), true,
     [](const Message& request, Done done) {
       RecordingOverlayServiceClient().Show(As<RecordingOverlayPhase>(request),
                                            Deliver<Empty>(std::move(done)));
     }},
    {"RecordingOverlayService", "Hide", &Empty::default_instance(), &Empty::default_instance(),
     true,
     [](const Message& request, Done done) {
       RecordingOverlayServiceClient().Hide(As<Empty>(request), Deliver<Empty>(std::move(done)));
     }},
};

// The method `service`.`method` of the table; null when there is none (either name null or
// unknown).
inline const BridgeMethod* FindBridgeMethod(const char* service, const char* method) {
  if (service == nullptr || method == nullptr) return nullptr;
  for (const BridgeMethod& candidate : kBridgeMethods) {
    if (std::strcmp(candidate.service, service) == 0 &&
        std::strcmp(candidate.method, method) == 0) {
      return &candidate;
    }
  }
  return nullptr;
}

// Whether AppMain registers a service under this exact name.
inline bool IsServedService(const char* service) {
  if (service == nullptr) return false;
  for (const BridgeMethod& candidate : kBridgeMethods) {
    if (candidate.served && std::strcmp(candidate.service, service) == 0) return true;
  }
  return false;
}

}  // namespace ondrel::fuzz

#endif  // FUZZ_BRIDGE_METHODS_H_
