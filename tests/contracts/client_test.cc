// The generated client classes: what reaches the host for each method, and the typed outcome the
// caller receives.
#include <google/protobuf/empty.pb.h>
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "clipboard.rpc.h"
#include "frontmost_app.rpc.h"
#include "permissions.rpc.h"
#include "recording_overlay.rpc.h"
#include "support/fake_host.h"

namespace kz::testing {
namespace {

using google::protobuf::Empty;
using kz::rpc::Result;

class ClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FakeHost::Reset();
    FakeHost::Install();
  }
  void TearDown() override { ::set_host_invoke(nullptr); }
};

template <typename T>
std::function<void(Result<T>)> Ignore() {
  return [](Result<T>) {};
}

TEST_F(ClientTest, EachMethodSendsItsServiceMethodAndRequest) {
  AppSnapshot snapshot;
  snapshot.set_bundle_id("com.example.editor");
  snapshot.set_process_id(501);
  PermissionTypeRequest microphone;
  microphone.set_type(PERMISSION_TYPE_MICROPHONE);
  RecordingOverlayPhase phase;
  phase.set_phase("listening");

  struct Case {
    const char* service;
    const char* method;
    std::string payload;
    std::function<void()> call;
  };
  const Case cases[] = {
      {"AutomationService", "Paste", "",
       [] { AutomationServiceClient().Paste(Empty(), Ignore<Empty>()); }},
      {"FrontmostAppService", "SnapshotFrontmostApp", "",
       [] { FrontmostAppServiceClient().SnapshotFrontmostApp(Empty(), Ignore<AppSnapshot>()); }},
      {"FrontmostAppService", "RestoreFrontmostApp", snapshot.SerializeAsString(),
       [&] { FrontmostAppServiceClient().RestoreFrontmostApp(snapshot, Ignore<RestoreResult>()); }},
      {"SystemPermissionsService", "GetPermissionsStatus", "",
       [] {
         SystemPermissionsServiceClient().GetPermissionsStatus(Empty(),
                                                               Ignore<PermissionsStatusResponse>());
       }},
      {"SystemPermissionsService", "OpenSystemSettings", microphone.SerializeAsString(),
       [&] { SystemPermissionsServiceClient().OpenSystemSettings(microphone, Ignore<Empty>()); }},
      {"SystemPermissionsService", "RequestPermission", microphone.SerializeAsString(),
       [&] { SystemPermissionsServiceClient().RequestPermission(microphone, Ignore<Empty>()); }},
      {"RecordingOverlayService", "Show", phase.SerializeAsString(),
       [&] { RecordingOverlayServiceClient().Show(phase, Ignore<Empty>()); }},
      {"RecordingOverlayService", "Hide", "",
       [] { RecordingOverlayServiceClient().Hide(Empty(), Ignore<Empty>()); }},
      // The stateless objects in kz::rpc are clients too.
      {"AutomationService", "Paste", "",
       [] { kz::rpc::automation.Paste(Empty(), Ignore<Empty>()); }},
      {"FrontmostAppService", "RestoreFrontmostApp", snapshot.SerializeAsString(),
       [&] { kz::rpc::frontmost_app.RestoreFrontmostApp(snapshot, Ignore<RestoreResult>()); }},
      {"SystemPermissionsService", "GetPermissionsStatus", "",
       [] {
         kz::rpc::system_permissions.GetPermissionsStatus(Empty(),
                                                          Ignore<PermissionsStatusResponse>());
       }},
      {"RecordingOverlayService", "Hide", "",
       [] { kz::rpc::recording_overlay.Hide(Empty(), Ignore<Empty>()); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.service) + "." + c.method);
    FakeHost::Reset();
    c.call();
    std::vector<HostCall> calls = FakeHost::Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].service, c.service);
    EXPECT_EQ(calls[0].method, c.method);
    EXPECT_EQ(calls[0].payload, c.payload);
  }
}

TEST_F(ClientTest, CallerReceivesTheTypedOutcome) {
  AppSnapshot remembered;
  remembered.set_app_name("Editor");
  remembered.set_process_id(7);

  struct Case {
    const char* label;
    std::optional<HostAnswer> answer;     // none: no host installed
    std::optional<std::string> app_name;  // the decoded reply, or none for a failure
    std::string error;
  };
  const Case cases[] = {
      {"reply", HostAnswer{true, remembered.SerializeAsString(), false}, "Editor", ""},
      {"empty reply is the default message", HostAnswer{true, "", false}, "", ""},
      {"rejection keeps the host's text", HostAnswer{false, "No frontmost application.", false},
       std::nullopt, "No frontmost application."},
      {"reply that does not parse",
       HostAnswer{true,
                  std::string("\x0a\x05"
                              "ab",
                              4),
                  false},
       std::nullopt, "Failed to parse RPC response."},
      {"no host", std::nullopt, std::nullopt, "Native RPC host is not available."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    if (c.answer) {
      FakeHost::Install();
    } else {
      ::set_host_invoke(nullptr);
    }
    FakeHost::AnswerSynchronously(c.answer);
    std::vector<Result<AppSnapshot>> outcomes;
    FrontmostAppServiceClient().SnapshotFrontmostApp(
        Empty(), [&](Result<AppSnapshot> result) { outcomes.push_back(std::move(result)); });
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(outcomes[0].error, c.error);
    ASSERT_EQ(outcomes[0].value.has_value(), c.app_name.has_value());
    if (c.app_name) {
      EXPECT_EQ(outcomes[0].value->app_name(), *c.app_name);
    }
  }
}

TEST_F(ClientTest, LateAnswerReachesTheCallbackOnce) {
  std::vector<Result<PermissionsStatusResponse>> outcomes;
  SystemPermissionsServiceClient().GetPermissionsStatus(
      Empty(), [&](Result<PermissionsStatusResponse> result) { outcomes.push_back(result); });
  ASSERT_TRUE(outcomes.empty());

  PermissionsStatusResponse response;
  PermissionStatusProto* entry = response.add_permissions();
  entry->set_type(PERMISSION_TYPE_ACCESSIBILITY);
  entry->set_status(PERMISSION_STATUS_NOT_DETERMINED);
  const std::string bytes = response.SerializeAsString();
  HostCall call = FakeHost::Calls().at(0);
  call.reply(call.id, bytes.data(), bytes.size());
  call.reject(call.id, "too late");

  ASSERT_EQ(outcomes.size(), 1u);
  ASSERT_TRUE(outcomes[0].value.has_value());
  ASSERT_EQ(outcomes[0].value->permissions_size(), 1);
  EXPECT_EQ(outcomes[0].value->permissions(0).status(), PERMISSION_STATUS_NOT_DETERMINED);
}

}  // namespace
}  // namespace kz::testing
