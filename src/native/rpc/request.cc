#include "rpc/request.h"

#include "rpc/transport.h"

namespace kz::rpc {

void RequestSerialized(const char* service, const char* method,
                       const google::protobuf::Message& request,
                       std::function<void(SerializedResult)> callback) {
  if (!callback) return;
  // The names go to the host as they are, valid for the whole call: nothing copies them.
  Transport::GetInstance()->Send(service == nullptr ? "" : service, method == nullptr ? "" : method,
                                 request.SerializeAsString(), std::move(callback));
}

}  // namespace kz::rpc
