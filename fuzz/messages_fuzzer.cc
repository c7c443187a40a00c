// Fuzzes the six message types of the bridge's schemas: arbitrary bytes are parsed, and what parses
// is serialized, parsed again and compared.
//
// Input: one byte choosing the type (modulo 6: AppSnapshot, RestoreResult, PermissionStatusProto,
// PermissionsStatusResponse, PermissionTypeRequest, RecordingOverlayPhase), then the bytes to
// parse.
//
// Checks, for bytes that parse: the serialized form parses again into an equal message, serializes
// to the same bytes (so unknown fields and out-of-range enum values survive), has the size the
// message reports, and parses the same way through the schema's descriptors and reflection
// (a dynamic message), which serializes to the same bytes too.
#include <google/protobuf/dynamic_message.h>
#include <google/protobuf/util/message_differencer.h>

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <string>

#include "frontmost_app.pb.h"
#include "fuzz_check.h"
#include "permissions.pb.h"
#include "recording_overlay.pb.h"

namespace ondrel::fuzz {
namespace {

using google::protobuf::Message;

const Message* const kPrototypes[] = {
    &AppSnapshot::default_instance(),           &RestoreResult::default_instance(),
    &PermissionStatusProto::default_instance(), &PermissionsStatusResponse::default_instance(),
    &PermissionTypeRequest::default_instance(), &RecordingOverlayPhase::default_instance(),
};

google::protobuf::DynamicMessageFactory& DynamicFactory() {
  static auto* factory = new google::protobuf::DynamicMessageFactory();
  return *factory;
}

void RunOne(const uint8_t* data, size_t size) {
  if (size == 0) return;
  const Message& prototype = *kPrototypes[data[0] % std::size(kPrototypes)];
  const char* bytes = reinterpret_cast<const char*>(data + 1);
  const int length = static_cast<int>(size - 1);

  std::unique_ptr<Message> first(prototype.New());
  const bool parsed = first->ParseFromArray(bytes, length);

  std::unique_ptr<Message> dynamic(DynamicFactory().GetPrototype(prototype.GetDescriptor())->New());
  FUZZ_CHECK(dynamic->ParseFromArray(bytes, length) == parsed,
             "generated and reflective parsers disagree on whether the bytes parse");
  if (!parsed) return;

  const std::string serialized = first->SerializeAsString();
  FUZZ_CHECK(first->ByteSizeLong() == serialized.size(), "reported size is not the encoded size");
  FUZZ_CHECK(dynamic->SerializeAsString() == serialized,
             "generated and reflective messages serialize differently");

  std::unique_ptr<Message> second(prototype.New());
  FUZZ_CHECK(second->ParseFromString(serialized), "a serialized message does not parse again");
  FUZZ_CHECK(google::protobuf::util::MessageDifferencer::Equals(*first, *second),
             "the message changed on its way through the encoding");
  FUZZ_CHECK(second->SerializeAsString() == serialized, "serializing again gives other bytes");
}

}  // namespace
}  // namespace ondrel::fuzz

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  ondrel::fuzz::SilenceProtobufLogs();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ondrel::fuzz::RunOne(data, size);
  return 0;
}
