// protoc-gen-kzrpc: the protoc plugin that writes the service units of the RPC bridge.
//   protoc --plugin=protoc-gen-kzrpc=<path> --kzrpc_out=[export_macro=NAME:]<dir> x.proto
#include <google/protobuf/compiler/plugin.h>

#include "kzrpc_generator.h"

int main(int argc, char* argv[]) {
  kzrpc::KzrpcGenerator generator;
  return google::protobuf::compiler::PluginMain(argc, argv, &generator);
}
