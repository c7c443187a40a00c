// The wire format of the bridge's messages: the byte sequences both sides of the bridge rely on.
#include <google/protobuf/empty.pb.h>
#include <google/protobuf/util/message_differencer.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "frontmost_app.pb.h"
#include "permissions.pb.h"
#include "recording_overlay.pb.h"

namespace kz::testing {
namespace {

using google::protobuf::Message;
using google::protobuf::util::MessageDifferencer;

std::string Hex(const std::string& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const unsigned char c : bytes) {
    hex += kDigits[c >> 4];
    hex += kDigits[c & 0xf];
  }
  return hex;
}

std::string Bytes(const std::string& hex) {
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  }
  return bytes;
}

template <typename T>
std::function<std::unique_ptr<Message>()> Make(std::function<void(T&)> fill) {
  return [fill] {
    auto message = std::make_unique<T>();
    fill(*message);
    return message;
  };
}

PermissionStatusProto* AddPermission(PermissionsStatusResponse& response, PermissionType type,
                                     PermissionStatus status) {
  PermissionStatusProto* entry = response.add_permissions();
  entry->set_type(type);
  entry->set_status(status);
  return entry;
}

struct EncodingCase {
  const char* label;
  std::function<std::unique_ptr<Message>()> make;
  const char* hex;
};

TEST(EncodingTest, MessagesEncodeToTheContractBytesAndBack) {
  const EncodingCase cases[] = {
      {"RestoreResult success", Make<RestoreResult>([](auto& m) { m.set_success(true); }), "0801"},
      {"AppSnapshot bundle id, then process id", Make<AppSnapshot>([](auto& m) {
         m.set_bundle_id("a");
         m.set_process_id(5);
       }),
       "0a01611805"},
      {"AppSnapshot process id, then bundle id", Make<AppSnapshot>([](auto& m) {
         m.set_process_id(5);
         m.set_bundle_id("a");
       }),
       "0a01611805"},
      {"negative process id is a ten-byte varint",
       Make<AppSnapshot>([](auto& m) { m.set_process_id(-1); }), "18ffffffffffffffffff01"},
      {"default AppSnapshot", Make<AppSnapshot>([](auto&) {}), ""},
      {"default RestoreResult", Make<RestoreResult>([](auto&) {}), ""},
      {"Empty", Make<google::protobuf::Empty>([](auto&) {}), ""},
      {"RestoreResult failure with a text", Make<RestoreResult>([](auto& m) { m.set_error("x"); }),
       "120178"},
      {"PermissionsStatusResponse, entries in list order",
       Make<PermissionsStatusResponse>([](auto& m) {
         AddPermission(m, PERMISSION_TYPE_MICROPHONE, PERMISSION_STATUS_GRANTED);
         AddPermission(m, PERMISSION_TYPE_ACCESSIBILITY, PERMISSION_STATUS_DENIED);
       }),
       "0a04080110010a0408021002"},
      {"PermissionTypeRequest",
       Make<PermissionTypeRequest>([](auto& m) { m.set_type(PERMISSION_TYPE_ACCESSIBILITY); }),
       "0802"},
      {"RecordingOverlayPhase processing",
       Make<RecordingOverlayPhase>([](auto& m) { m.set_phase("processing"); }),
       "0a0a70726f63657373696e67"},
  };
  for (const EncodingCase& c : cases) {
    SCOPED_TRACE(c.label);
    std::unique_ptr<Message> built = c.make();
    EXPECT_EQ(Hex(built->SerializeAsString()), c.hex);

    std::unique_ptr<Message> decoded(built->New());
    ASSERT_TRUE(decoded->ParseFromString(Bytes(c.hex)));
    EXPECT_TRUE(MessageDifferencer::Equals(*decoded, *built));
    EXPECT_EQ(Hex(decoded->SerializeAsString()), c.hex);
  }
}

TEST(EncodingTest, EnumsAreOpen) {
  PermissionStatusProto entry;
  ASSERT_TRUE(
      entry.ParseFromString(Bytes("0801"
                                  "1007")));
  EXPECT_EQ(entry.status(), 7);
  EXPECT_EQ(Hex(entry.SerializeAsString()), "08011007");
}

TEST(EncodingTest, UnknownFieldsSurviveAndFollowTheListedOnes) {
  PermissionTypeRequest request;
  ASSERT_TRUE(
      request.ParseFromString(Bytes("4801"
                                    "0802")));  // field 9, then `type`
  EXPECT_EQ(request.type(), PERMISSION_TYPE_ACCESSIBILITY);
  EXPECT_EQ(Hex(request.SerializeAsString()), "08024801");
}

TEST(EncodingTest, StringsThatAreNotUtf8DoNotParse) {
  struct Case {
    const char* field;
    std::unique_ptr<Message> message;
    const char* hex;
  };
  Case cases[] = {
      {"AppSnapshot.bundle_id", std::make_unique<AppSnapshot>(), "0a02fffe"},
      {"AppSnapshot.app_name", std::make_unique<AppSnapshot>(), "1201c3"},
      {"RestoreResult.error", std::make_unique<RestoreResult>(), "120180"},
      {"RecordingOverlayPhase.phase", std::make_unique<RecordingOverlayPhase>(), "0a02fffe"},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.field);
    EXPECT_FALSE(c.message->ParseFromString(Bytes(c.hex)));
  }
}

TEST(EncodingTest, MalformedBytesDoNotParse) {
  AppSnapshot snapshot;
  EXPECT_FALSE(snapshot.ParseFromString(Bytes("0a05")));  // truncated string
  EXPECT_FALSE(snapshot.ParseFromString(Bytes("1e01")));  // wire type 6 does not exist
}

}  // namespace
}  // namespace kz::testing
