// The generated service bases: dispatch by method index, the default rejection of every method, the
// prototypes, and the fatal record for an impossible method index.
#include <google/protobuf/descriptor.h>
#include <google/protobuf/empty.pb.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "clipboard.rpc.h"
#include "frontmost_app.rpc.h"
#include "permissions.rpc.h"
#include "recording_overlay.rpc.h"
#include "rpc/transport.h"
#include "support/answer_log.h"

namespace kz::testing {
namespace {

using google::protobuf::Empty;
using google::protobuf::Message;
using google::protobuf::MethodDescriptor;

const MethodDescriptor* Method(const google::protobuf::ServiceDescriptor* service,
                               const char* name) {
  const MethodDescriptor* method = service->FindMethodByName(name);
  EXPECT_NE(method, nullptr) << name;
  return method;
}

TEST(ServiceBaseTest, BareBasesRejectEveryMethodWithItsOwnText) {
  AutomationService automation;
  FrontmostAppService frontmost_app;
  SystemPermissionsService permissions;
  RecordingOverlayService overlay;
  for (kz::rpc::Service* service :
       std::vector<kz::rpc::Service*>{&automation, &frontmost_app, &permissions, &overlay}) {
    kz::rpc::RegisterService(service);
  }

  RecordingOverlayPhase listening;
  listening.set_phase("listening");
  struct Case {
    const char* service;
    const char* method;
    std::string request;
    const char* text;
  };
  const Case cases[] = {
      {"AutomationService", "Paste", "", "Method Paste() not implemented."},
      {"FrontmostAppService", "SnapshotFrontmostApp", "",
       "Method SnapshotFrontmostApp() not implemented."},
      {"FrontmostAppService", "RestoreFrontmostApp", std::string("\x18\x05", 2),
       "Method RestoreFrontmostApp() not implemented."},
      {"SystemPermissionsService", "GetPermissionsStatus", "",
       "Method GetPermissionsStatus() not implemented."},
      {"SystemPermissionsService", "OpenSystemSettings", std::string("\x08\x01", 2),
       "Method OpenSystemSettings() not implemented."},
      {"SystemPermissionsService", "RequestPermission", std::string("\x08\x02", 2),
       "Method RequestPermission() not implemented."},
      {"RecordingOverlayService", "Show", listening.SerializeAsString(),
       "Method Show() not implemented."},
      {"RecordingOverlayService", "Hide", "", "Method Hide() not implemented."},
  };
  uint64_t id = 40;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.method);
    Answer answer = InvokeOnce(++id, c.service, c.method, c.request);
    EXPECT_FALSE(answer.replied);
    EXPECT_EQ(answer.id, id);
    EXPECT_EQ(answer.payload, c.text);
  }
}

// Records which methods ran and answers each call at once.
class RecordingFrontmostApp : public FrontmostAppService {
 public:
  void SnapshotFrontmostApp(const Empty* /*request*/,
                            kz::rpc::Callback<AppSnapshot> callback) override {
    ++snapshots;
    std::move(callback).Complete(AppSnapshot());
  }
  void RestoreFrontmostApp(const AppSnapshot* request,
                           kz::rpc::Callback<RestoreResult> callback) override {
    ++restores;
    restored = request;
    RestoreResult result;
    result.set_success(true);
    std::move(callback).Complete(result);
  }

  int snapshots = 0;
  int restores = 0;
  const AppSnapshot* restored = nullptr;
};

TEST(ServiceBaseTest, CallMethodReachesTheMethodOfItsIndexOnce) {
  RecordingFrontmostApp service;
  AppSnapshot request;
  request.set_process_id(42);
  const MethodDescriptor* restore = Method(service.GetDescriptor(), "RestoreFrontmostApp");

  service.CallMethod(restore, request, 77, &AnswerLog::Reply, &AnswerLog::Reject);

  EXPECT_EQ(service.restores, 1);
  EXPECT_EQ(service.snapshots, 0);
  EXPECT_EQ(service.restored, &request);
  std::vector<Answer> answers = AnswerLog::Take();
  ASSERT_EQ(answers.size(), 1u);  // the reply, and no cancellation after it
  EXPECT_TRUE(answers[0].replied);
  EXPECT_EQ(answers[0].id, 77u);
  EXPECT_EQ(answers[0].payload, std::string("\x08\x01", 2));
}

TEST(ServiceBaseTest, CallMethodWithAnotherServicesMethodRejects) {
  // RestoreFrontmostApp has index 1; AutomationService has only index 0.
  AutomationService automation;
  const MethodDescriptor* restore =
      Method(FrontmostAppService::descriptor(), "RestoreFrontmostApp");
  automation.CallMethod(restore, AppSnapshot(), 9, &AnswerLog::Reply, &AnswerLog::Reject);
  std::vector<Answer> answers = AnswerLog::Take();
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_FALSE(answers[0].replied);
  EXPECT_EQ(answers[0].id, 9u);
  EXPECT_EQ(answers[0].payload, "Bad method index; this should never happen.");
}

TEST(ServiceBaseTest, PrototypesAreTheDefaultInstancesOfEachMethodsTypes) {
  AutomationService automation;
  FrontmostAppService frontmost_app;
  SystemPermissionsService permissions;
  RecordingOverlayService overlay;
  struct Case {
    const kz::rpc::Service* service;
    const char* method;  // full name
    const Message* request;
    const Message* response;
  };
  const Case cases[] = {
      {&automation, "AutomationService.Paste", &Empty::default_instance(),
       &Empty::default_instance()},
      {&frontmost_app, "FrontmostAppService.SnapshotFrontmostApp", &Empty::default_instance(),
       &AppSnapshot::default_instance()},
      {&frontmost_app, "FrontmostAppService.RestoreFrontmostApp", &AppSnapshot::default_instance(),
       &RestoreResult::default_instance()},
      {&permissions, "SystemPermissionsService.GetPermissionsStatus", &Empty::default_instance(),
       &PermissionsStatusResponse::default_instance()},
      {&permissions, "SystemPermissionsService.OpenSystemSettings",
       &PermissionTypeRequest::default_instance(), &Empty::default_instance()},
      {&permissions, "SystemPermissionsService.RequestPermission",
       &PermissionTypeRequest::default_instance(), &Empty::default_instance()},
      {&overlay, "RecordingOverlayService.Show", &RecordingOverlayPhase::default_instance(),
       &Empty::default_instance()},
      {&overlay, "RecordingOverlayService.Hide", &Empty::default_instance(),
       &Empty::default_instance()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.method);
    const MethodDescriptor* method =
        google::protobuf::DescriptorPool::generated_pool()->FindMethodByName(c.method);
    ASSERT_NE(method, nullptr);
    EXPECT_EQ(&c.service->GetRequestPrototype(method), c.request);
    EXPECT_EQ(&c.service->GetResponsePrototype(method), c.response);
  }
}

using ServiceBaseDeathTest = ::testing::Test;

TEST_F(ServiceBaseDeathTest, PrototypeForAnImpossibleIndexEndsTheProcess) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  AutomationService automation;
  const MethodDescriptor* restore =
      Method(FrontmostAppService::descriptor(), "RestoreFrontmostApp");
  EXPECT_DEATH(automation.GetRequestPrototype(restore),
               "clipboard\\.rpc\\.cc.*Bad method index; this should never happen\\.");
  EXPECT_DEATH(automation.GetResponsePrototype(restore),
               "clipboard\\.rpc\\.cc.*Bad method index; this should never happen\\.");
}

}  // namespace
}  // namespace kz::testing
