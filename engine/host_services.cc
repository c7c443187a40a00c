#include "host_services.h"

#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "schema_pool.h"
#include "standin/privacy.h"

namespace engine {
namespace {

constexpr char kPermissionsService[] = "SystemPermissionsService";

const char* StatusName(standin::PermissionState state) {
  switch (state) {
    case standin::PermissionState::kGranted:
      return "PERMISSION_STATUS_GRANTED";
    case standin::PermissionState::kDenied:
      return "PERMISSION_STATUS_DENIED";
    case standin::PermissionState::kNotDetermined:
      return "PERMISSION_STATUS_NOT_DETERMINED";
  }
  return "PERMISSION_STATUS_UNSPECIFIED";
}

// Answers that the host gives later, each from a thread of its own; joined before the process ends.
std::mutex& LaterAnswersMutex() {
  static auto* mutex = new std::mutex();
  return *mutex;
}

std::vector<std::thread>& LaterAnswers() {
  static auto* threads = new std::vector<std::thread>();
  return *threads;
}

// Replies to `id` with the message of `type` that `json` describes.
void ReplyWithJson(uint64_t id, const google::protobuf::Descriptor* type, const std::string& json,
                   ReplyFn reply, RejectFn reject) {
  std::string bytes;
  std::string error;
  if (!SchemaPool::Get().JsonToBinary(type, json, &bytes, &error)) {
    reject(id, ("Host failed to encode its reply: " + error).c_str());
    return;
  }
  reply(id, bytes.data(), bytes.size());
}

// Reads the permission type of a PermissionTypeRequest; false when the request names none.
bool RequestedPermission(const google::protobuf::MethodDescriptor* method, const std::string& bytes,
                         standin::Permission* permission) {
  std::unique_ptr<google::protobuf::Message> request =
      SchemaPool::Get().NewMessage(method->input_type());
  const google::protobuf::FieldDescriptor* type = method->input_type()->FindFieldByName("type");
  if (type == nullptr || type->enum_type() == nullptr || !request->ParseFromString(bytes)) {
    return false;
  }
  const google::protobuf::EnumValueDescriptor* value =
      type->enum_type()->FindValueByNumber(request->GetReflection()->GetEnumValue(*request, type));
  if (value == nullptr) return false;
  if (value->name() == "PERMISSION_TYPE_MICROPHONE") {
    *permission = standin::Permission::kMicrophone;
    return true;
  }
  if (value->name() == "PERMISSION_TYPE_ACCESSIBILITY") {
    *permission = standin::Permission::kAccessibility;
    return true;
  }
  return false;
}

void ServePermissions(uint64_t id, const google::protobuf::MethodDescriptor* method,
                      const std::string& request, ReplyFn reply, RejectFn reject) {
  const std::string& name = method->name();
  if (name == "GetPermissionsStatus") {
    const std::string json =
        std::string("{\"permissions\":[{\"type\":\"PERMISSION_TYPE_MICROPHONE\",\"status\":\"") +
        StatusName(standin::GetPermissionState(standin::Permission::kMicrophone)) +
        "\"},{\"type\":\"PERMISSION_TYPE_ACCESSIBILITY\",\"status\":\"" +
        StatusName(standin::GetPermissionState(standin::Permission::kAccessibility)) + "\"}]}";
    ReplyWithJson(id, method->output_type(), json, reply, reject);
    return;
  }

  standin::Permission permission;
  if (!RequestedPermission(method, request, &permission)) {
    reject(id, "Unknown permission type.");
    return;
  }
  if (name == "OpenSystemSettings") {
    standin::OpenSettingsPane(permission);
    reply(id, "", 0);
    return;
  }
  // RequestPermission: the system asks the user; the host answers once the user has answered, from
  // another thread. Accessibility is granted in the settings, so its pane opens as well.
  if (permission == standin::Permission::kAccessibility) standin::OpenSettingsPane(permission);
  std::lock_guard lock(LaterAnswersMutex());
  LaterAnswers().emplace_back([id, permission, reply] {
    standin::RequestPermissionFromUser(permission);
    reply(id, "", 0);
  });
}

}  // namespace

void HostInvoke(uint64_t id, const char* service, const char* method, const char* data, size_t len,
                ReplyFn reply, RejectFn reject) {
  const std::string service_name = service == nullptr ? "" : service;
  const std::string method_name = method == nullptr ? "" : method;
  const std::string request(data == nullptr ? "" : data, data == nullptr ? 0 : len);
  const google::protobuf::MethodDescriptor* found =
      service_name == kPermissionsService ? SchemaPool::Get().FindMethod(service_name, method_name)
                                          : nullptr;
  if (found == nullptr) {
    reject(id, ("Host has no service method " + service_name + "." + method_name + ".").c_str());
    return;
  }
  ServePermissions(id, found, request, reply, reject);
}

void FinishPendingHostAnswers() {
  std::vector<std::thread> threads;
  {
    std::lock_guard lock(LaterAnswersMutex());
    threads.swap(LaterAnswers());
  }
  for (std::thread& thread : threads) thread.join();
}

}  // namespace engine
