// Library-side code that calls the host's SystemPermissionsService through the library's generated
// client, as the library's own code would, and prints each typed result as it arrives (on whichever
// thread the host answers).
#include <google/protobuf/util/json_util.h>

#include <string>

#include "permissions.rpc.h"

namespace {

using PrintFn = void (*)(const char* line);

template <typename T>
std::function<void(kz::rpc::Result<T>)> Printer(std::string label, PrintFn print) {
  return [label = std::move(label), print](kz::rpc::Result<T> result) {
    std::string line = label + " -> ";
    if (!result.value) {
      line += "failed: " + result.error;
    } else {
      google::protobuf::util::JsonPrintOptions options;
      options.preserve_proto_field_names = true;
      std::string json;
      (void)google::protobuf::util::MessageToJsonString(*result.value, &json, options);
      line += json;
    }
    print(line.c_str());
  };
}

}  // namespace

// Makes one call of SystemPermissionsServiceClient: `method` is GetPermissionsStatus,
// OpenSystemSettings or RequestPermission; `permission_type` is the PermissionType number for the
// last two. Returns false for an unknown method.
extern "C" __attribute__((visibility("default"))) bool ProbePermissionsClient(const char* method,
                                                                              int permission_type,
                                                                              PrintFn print) {
  SystemPermissionsServiceClient client;
  const std::string name = method;
  PermissionTypeRequest request;
  request.set_type(static_cast<PermissionType>(permission_type));
  const std::string label =
      "SystemPermissionsServiceClient::" + name +
      (name == "GetPermissionsStatus" ? std::string()
                                      : "(" + PermissionType_Name(request.type()) + ")");
  if (name == "GetPermissionsStatus") {
    client.GetPermissionsStatus(google::protobuf::Empty(),
                                Printer<PermissionsStatusResponse>(label, print));
  } else if (name == "OpenSystemSettings") {
    client.OpenSystemSettings(request, Printer<google::protobuf::Empty>(label, print));
  } else if (name == "RequestPermission") {
    client.RequestPermission(request, Printer<google::protobuf::Empty>(label, print));
  } else {
    return false;
  }
  return true;
}
