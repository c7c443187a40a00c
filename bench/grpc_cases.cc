// gRPC's in-process unary call, for comparison with the bridge's inbound call: a synchronous
// service and stub over the server's in-process channel, with the same empty messages.
#include <google/protobuf/empty.pb.h>
#include <grpcpp/grpcpp.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "driver.h"
#include "grpc_bench.grpc.pb.h"

namespace ondrel::bench {
namespace {

using google::protobuf::Empty;

class GrpcBenchServiceImpl final : public GrpcBenchService::Service {
 public:
  grpc::Status Paste(grpc::ServerContext* /*context*/, const Empty* /*request*/,
                     Empty* /*response*/) override {
    return grpc::Status::OK;
  }
};

struct InProcessServer {
  GrpcBenchServiceImpl service;
  std::unique_ptr<grpc::Server> server;
  std::unique_ptr<GrpcBenchService::Stub> stub;
};

// Started once and kept until the process ends.
InProcessServer* server = nullptr;

void PrepareServer() {
  if (server != nullptr) return;
  server = new InProcessServer();
  grpc::ServerBuilder builder;
  builder.RegisterService(&server->service);
  server->server = builder.BuildAndStart();
  if (server->server == nullptr) {
    std::fprintf(stderr, "cannot start the gRPC server\n");
    std::abort();
  }
  server->stub =
      GrpcBenchService::NewStub(server->server->InProcessChannel(grpc::ChannelArguments()));
}

void GrpcInProcessEmpty() {
  grpc::ClientContext context;
  Empty response;
  const grpc::Status status = server->stub->Paste(&context, Empty(), &response);
  if (!status.ok()) {
    std::fprintf(stderr, "gRPC call failed: %s\n", status.error_message().c_str());
    std::abort();
  }
}

const bool registered = [] {
  AddCase<&GrpcInProcessEmpty>("grpc_inprocess_empty", &PrepareServer);
  return true;
}();

}  // namespace
}  // namespace ondrel::bench
