#include "rpc/rpc_test_service.h"

#include <google/protobuf/descriptor.h>

#include "rpc_test_service.pb.h"

namespace kz::testing {

using google::protobuf::Empty;
using google::protobuf::StringValue;

RpcTestService::RpcTestService(std::string echo_prefix) : echo_prefix_(std::move(echo_prefix)) {}

const google::protobuf::ServiceDescriptor* RpcTestService::descriptor() {
  static const auto* service = google::protobuf::DescriptorPool::generated_pool()
                                   ->FindFileByName("rpc_test_service.proto")
                                   ->service(0);
  return service;
}

const google::protobuf::ServiceDescriptor* RpcTestService::GetDescriptor() { return descriptor(); }

void RpcTestService::CallMethod(const google::protobuf::MethodDescriptor* method,
                                const google::protobuf::Message& request, uint64_t id,
                                kz::rpc::ReplyFunction reply, kz::rpc::RejectFunction reject) {
  ++calls_;
  switch (method->index()) {
    case 0: {
      kz::rpc::Callback<StringValue> callback(id, std::move(reply), std::move(reject));
      StringValue response;
      response.set_value(echo_prefix_ + static_cast<const StringValue&>(request).value());
      std::move(callback).Complete(response);
      break;
    }
    case 1: {
      kz::rpc::Callback<Empty> callback(id, std::move(reply), std::move(reject));
      std::move(callback).Complete(Empty());
      break;
    }
    case 2: {
      kz::rpc::Callback<Empty> callback(id, std::move(reply), std::move(reject));
      break;  // never answers: the handle cancels on destruction
    }
    case 3: {
      kz::rpc::Callback<StringValue> callback(id, std::move(reply), std::move(reject));
      std::move(callback).Complete(static_cast<const StringValue&>(request));
      std::move(callback).Reject("second answer");
      break;
    }
    default:
      reject(id, "Bad method index; this should never happen.");
  }
}

const google::protobuf::Message& RpcTestService::GetRequestPrototype(
    const google::protobuf::MethodDescriptor* method) const {
  if (method->index() == 0 || method->index() == 3) return StringValue::default_instance();
  return Empty::default_instance();
}

const google::protobuf::Message& RpcTestService::GetResponsePrototype(
    const google::protobuf::MethodDescriptor* method) const {
  return GetRequestPrototype(method);
}

}  // namespace kz::testing
