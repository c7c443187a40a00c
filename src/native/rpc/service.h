// kz::rpc::Service: the abstract base of every service the transport can route calls to.
#ifndef SRC_NATIVE_RPC_SERVICE_H_
#define SRC_NATIVE_RPC_SERVICE_H_

#include <google/protobuf/descriptor.h>
#include <google/protobuf/message.h>

#include <cstddef>
#include <cstdint>
#include <functional>

#include "rpc/export.h"

namespace kz::rpc {

// The answer functions of one inbound call, as a service receives them.
using ReplyFunction = std::function<void(uint64_t, const char*, size_t)>;
using RejectFunction = std::function<void(uint64_t, const char*)>;

// A service reachable by name through the transport. Services are stateless routers onto their
// typed methods; the runtime never destroys one. Methods may run on several threads at once.
class KZ_EXPORT Service {
 public:
  virtual ~Service();

  // The service's descriptor from its compiled schema; its full name is the registry key.
  virtual const google::protobuf::ServiceDescriptor* GetDescriptor() = 0;

  // Runs one call of `method` (a method of this service) with `request` (of the method's request
  // type). Must answer exactly once, through `reply` or `reject`, with the given id.
  virtual void CallMethod(const google::protobuf::MethodDescriptor* method,
                          const google::protobuf::Message& request, uint64_t id,
                          ReplyFunction reply, RejectFunction reject) = 0;

  // The default instance of the method's request type; the transport decodes requests into a
  // `New()` of it.
  virtual const google::protobuf::Message& GetRequestPrototype(
      const google::protobuf::MethodDescriptor* method) const = 0;

  // The default instance of the method's response type.
  virtual const google::protobuf::Message& GetResponsePrototype(
      const google::protobuf::MethodDescriptor* method) const = 0;
};

}  // namespace kz::rpc

#endif  // SRC_NATIVE_RPC_SERVICE_H_
