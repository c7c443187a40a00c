#include "schema_pool.h"

#include <google/protobuf/descriptor.pb.h>
#include <google/protobuf/util/json_util.h>

#include <cstdio>
#include <cstdlib>

#include "embedded_schemas.h"

namespace engine {

const SchemaPool& SchemaPool::Get() {
  static const SchemaPool* const pool = new SchemaPool();
  return *pool;
}

SchemaPool::SchemaPool() : factory_(&pool_) {
  google::protobuf::FileDescriptorSet files;
  if (!files.ParseFromArray(kEmbeddedSchemas, static_cast<int>(kEmbeddedSchemasSize))) {
    std::fputs("engine: the embedded schema descriptor set does not parse\n", stderr);
    std::abort();
  }
  // The set lists every file after its imports, so each builds on the ones before it.
  for (const google::protobuf::FileDescriptorProto& file : files.file()) {
    if (pool_.BuildFile(file) == nullptr) {
      std::fprintf(stderr, "engine: schema file %s does not build\n", file.name().c_str());
      std::abort();
    }
  }
}

const google::protobuf::MethodDescriptor* SchemaPool::FindMethod(std::string_view service,
                                                                 std::string_view method) const {
  const google::protobuf::ServiceDescriptor* found = pool_.FindServiceByName(std::string(service));
  return found == nullptr ? nullptr : found->FindMethodByName(std::string(method));
}

bool SchemaPool::JsonToBinary(const google::protobuf::Descriptor* type, std::string_view json,
                              std::string* binary, std::string* error) const {
  std::unique_ptr<google::protobuf::Message> message = NewMessage(type);
  if (json.find_first_not_of(" \t") != std::string_view::npos) {
    auto status = google::protobuf::util::JsonStringToMessage(std::string(json), message.get());
    if (!status.ok()) {
      *error = std::string(status.message());
      return false;
    }
  }
  *binary = message->SerializeAsString();
  return true;
}

bool SchemaPool::BinaryToJson(const google::protobuf::Descriptor* type, std::string_view binary,
                              std::string* json, std::string* error) const {
  std::unique_ptr<google::protobuf::Message> message = NewMessage(type);
  if (!message->ParseFromArray(binary.data(), static_cast<int>(binary.size()))) {
    *error = "the reply is not a valid " + type->full_name();
    return false;
  }
  google::protobuf::util::JsonPrintOptions options;
  options.preserve_proto_field_names = true;
  json->clear();
  auto status = google::protobuf::util::MessageToJsonString(*message, json, options);
  if (!status.ok()) {
    *error = std::string(status.message());
    return false;
  }
  return true;
}

std::unique_ptr<google::protobuf::Message> SchemaPool::NewMessage(
    const google::protobuf::Descriptor* type) const {
  return std::unique_ptr<google::protobuf::Message>(factory_.GetPrototype(type)->New());
}

}  // namespace engine
