// The protoc plugin's code generator: for each schema file, the service unit "<file>.rpc.h" and
// "<file>.rpc.cc" beside protobuf's own "<file>.pb.h".
//
// Options (--kzrpc_opt=name=value,...): export_macro=NAME marks the service bases and clients with
// NAME. Any other option is an error.
#ifndef TOOLS_PROTOC_GEN_KZRPC_KZRPC_GENERATOR_H_
#define TOOLS_PROTOC_GEN_KZRPC_KZRPC_GENERATOR_H_

#include <google/protobuf/compiler/code_generator.h>

#include <cstdint>
#include <string>

namespace kzrpc {

class KzrpcGenerator : public google::protobuf::compiler::CodeGenerator {
 public:
  bool Generate(const google::protobuf::FileDescriptor* file, const std::string& parameter,
                google::protobuf::compiler::GeneratorContext* context,
                std::string* error) const override;

  uint64_t GetSupportedFeatures() const override { return FEATURE_PROTO3_OPTIONAL; }
};

}  // namespace kzrpc

#endif  // TOOLS_PROTOC_GEN_KZRPC_KZRPC_GENERATOR_H_
