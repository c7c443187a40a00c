// Writes the service unit of one schema file: a header and a source with, for every service of the
// file, the service base over kz::rpc::Service, the client class and the stateless object in
// kz::rpc.
#ifndef TOOLS_PROTOC_GEN_KZRPC_SERVICE_UNIT_H_
#define TOOLS_PROTOC_GEN_KZRPC_SERVICE_UNIT_H_

#include <google/protobuf/descriptor.h>
#include <google/protobuf/io/printer.h>

#include <string>

namespace kzrpc {

struct UnitOptions {
  // Marks the bases and clients for export from a shared library (the same macro that the message
  // code gets as its dllexport_decl); empty for none.
  std::string export_macro;
};

// The unit's file names for `file` ("dir/x.proto" -> "dir/x.rpc.h", "dir/x.rpc.cc").
std::string UnitHeaderName(const google::protobuf::FileDescriptor* file);
std::string UnitSourceName(const google::protobuf::FileDescriptor* file);

void PrintUnitHeader(const google::protobuf::FileDescriptor* file, const UnitOptions& options,
                     google::protobuf::io::Printer* printer);
void PrintUnitSource(const google::protobuf::FileDescriptor* file, const UnitOptions& options,
                     google::protobuf::io::Printer* printer);

}  // namespace kzrpc

#endif  // TOOLS_PROTOC_GEN_KZRPC_SERVICE_UNIT_H_
