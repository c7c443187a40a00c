// The host runtime's own view of the bridge's schemas: a descriptor pool built from the schema
// files' descriptor set (embedded at build time), and the conversions between JSON and the binary
// encoding for the requests and responses of their methods. The engine never links the library's
// generated classes, so the two sides share nothing but the schema files.
#ifndef ENGINE_SCHEMA_POOL_H_
#define ENGINE_SCHEMA_POOL_H_

#include <google/protobuf/descriptor.h>
#include <google/protobuf/dynamic_message.h>
#include <google/protobuf/message.h>

#include <memory>
#include <string>
#include <string_view>

namespace engine {

// Threads: built once, then read-only; the conversions may run on any thread.
class SchemaPool {
 public:
  // The pool of the embedded schema files; aborts with a message if they do not build.
  static const SchemaPool& Get();

  // The method `method` of service `service` (bare names), or null.
  const google::protobuf::MethodDescriptor* FindMethod(std::string_view service,
                                                       std::string_view method) const;

  // Encodes the JSON text `json` (empty means the empty message) as a message of `type`. On failure
  // returns false and sets `error`.
  bool JsonToBinary(const google::protobuf::Descriptor* type, std::string_view json,
                    std::string* binary, std::string* error) const;

  // Decodes `binary` as a message of `type` and prints it as one line of JSON. On failure returns
  // false and sets `error`.
  bool BinaryToJson(const google::protobuf::Descriptor* type, std::string_view binary,
                    std::string* json, std::string* error) const;

  // A fresh empty message of `type`, owned by the caller.
  std::unique_ptr<google::protobuf::Message> NewMessage(
      const google::protobuf::Descriptor* type) const;

 private:
  SchemaPool();

  google::protobuf::DescriptorPool pool_;
  mutable google::protobuf::DynamicMessageFactory factory_;
};

}  // namespace engine

#endif  // ENGINE_SCHEMA_POOL_H_
