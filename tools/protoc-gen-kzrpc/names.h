// How a service unit names what it refers to: the unit's own files, the C++ classes and namespaces
// that protobuf's C++ generator gives a schema's messages, and the per-file descriptor table of the
// generated message code.
#ifndef TOOLS_PROTOC_GEN_KZRPC_NAMES_H_
#define TOOLS_PROTOC_GEN_KZRPC_NAMES_H_

#include <google/protobuf/descriptor.h>

#include <string>

namespace kzrpc {

// "dir/clipboard.proto" -> "dir/clipboard".
std::string StripProto(const std::string& file_name);

// The file name as an identifier, the way protobuf's C++ code names per-file symbols: letters and
// digits stay, every other byte becomes "_" and its hex code ("frontmost_app.proto" ->
// "frontmost_5fapp_2eproto").
std::string FilenameIdentifier(const std::string& file_name);

// The descriptor table that the file's generated message code defines in the global namespace.
std::string DescriptorTableName(const google::protobuf::FileDescriptor* file);

// The package as a C++ namespace ("ondrel.sample" -> "ondrel::sample"); empty without a package.
std::string PackageNamespace(const google::protobuf::FileDescriptor* file);

// "::" followed by the package's namespace and "::" ("::ondrel::sample::"; "::" without a package).
std::string NamespacePrefix(const google::protobuf::FileDescriptor* file);

// The fully qualified C++ class of a message; nested messages are joined with "_"
// ("::pkg::Outer_Inner").
std::string QualifiedClassName(const google::protobuf::Descriptor* message);

// The name of the stateless object in kz::rpc for a service: snake case, without a trailing
// "Service" ("FrontmostAppService" -> "frontmost_app").
std::string InlineObjectName(const google::protobuf::ServiceDescriptor* service);

// An include guard for a generated header path ("dir/clipboard.rpc.h" -> "DIR_CLIPBOARD_RPC_H_").
std::string HeaderGuard(const std::string& header_name);

// `text` as a C++ string literal, quotes included.
std::string StringLiteral(const std::string& text);

}  // namespace kzrpc

#endif  // TOOLS_PROTOC_GEN_KZRPC_NAMES_H_
