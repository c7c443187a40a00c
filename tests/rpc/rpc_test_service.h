// A hand-written service over RpcTestService's descriptor, for tests of the runtime alone. It
// counts the calls that reach it, so tests can tell that the transport did not call it.
#ifndef TESTS_RPC_RPC_TEST_SERVICE_H_
#define TESTS_RPC_RPC_TEST_SERVICE_H_

#include <google/protobuf/empty.pb.h>
#include <google/protobuf/wrappers.pb.h>

#include <atomic>
#include <string>

#include "rpc/callback.h"
#include "rpc/service.h"

namespace kz::testing {

class RpcTestService : public kz::rpc::Service {
 public:
  // Echo answers with this prefix before the request text, so two instances can be told apart.
  explicit RpcTestService(std::string echo_prefix = "");

  static const google::protobuf::ServiceDescriptor* descriptor();

  const google::protobuf::ServiceDescriptor* GetDescriptor() override;
  void CallMethod(const google::protobuf::MethodDescriptor* method,
                  const google::protobuf::Message& request, uint64_t id,
                  kz::rpc::ReplyFunction reply, kz::rpc::RejectFunction reject) override;
  const google::protobuf::Message& GetRequestPrototype(
      const google::protobuf::MethodDescriptor* method) const override;
  const google::protobuf::Message& GetResponsePrototype(
      const google::protobuf::MethodDescriptor* method) const override;

  int calls() const { return calls_.load(); }

 private:
  std::string echo_prefix_;
  std::atomic<int> calls_{0};
};

}  // namespace kz::testing

#endif  // TESTS_RPC_RPC_TEST_SERVICE_H_
