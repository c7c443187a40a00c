// The schemas as registered in the generated descriptor pool: bare file names, names without a
// package, and methods in schema order, which the generated bases dispatch by.
#include <google/protobuf/descriptor.h>
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "clipboard.rpc.h"
#include "frontmost_app.rpc.h"
#include "permissions.rpc.h"
#include "recording_overlay.rpc.h"

namespace kz::testing {
namespace {

using google::protobuf::DescriptorPool;
using google::protobuf::FileDescriptor;
using google::protobuf::ServiceDescriptor;

struct MethodRow {
  const char* name;
  const char* request;
  const char* response;
};

struct ServiceRow {
  const char* file;
  const ServiceDescriptor* (*descriptor)();
  const char* service;
  std::vector<MethodRow> methods;  // in schema order
  std::vector<std::string> messages;
};

const std::vector<ServiceRow>& Schemas() {
  static const std::vector<ServiceRow> rows = {
      {"clipboard.proto",
       &AutomationService::descriptor,
       "AutomationService",
       {{"Paste", "google.protobuf.Empty", "google.protobuf.Empty"}},
       {}},
      {"frontmost_app.proto",
       &FrontmostAppService::descriptor,
       "FrontmostAppService",
       {{"SnapshotFrontmostApp", "google.protobuf.Empty", "AppSnapshot"},
        {"RestoreFrontmostApp", "AppSnapshot", "RestoreResult"}},
       {"AppSnapshot", "RestoreResult"}},
      {"permissions.proto",
       &SystemPermissionsService::descriptor,
       "SystemPermissionsService",
       {{"GetPermissionsStatus", "google.protobuf.Empty", "PermissionsStatusResponse"},
        {"OpenSystemSettings", "PermissionTypeRequest", "google.protobuf.Empty"},
        {"RequestPermission", "PermissionTypeRequest", "google.protobuf.Empty"}},
       {"PermissionStatusProto", "PermissionsStatusResponse", "PermissionTypeRequest"}},
      {"recording_overlay.proto",
       &RecordingOverlayService::descriptor,
       "RecordingOverlayService",
       {{"Show", "RecordingOverlayPhase", "google.protobuf.Empty"},
        {"Hide", "google.protobuf.Empty", "google.protobuf.Empty"}},
       {"RecordingOverlayPhase"}},
  };
  return rows;
}

TEST(DescriptorPoolTest, EachFileIsRegisteredUnderItsBareName) {
  for (const ServiceRow& row : Schemas()) {
    SCOPED_TRACE(row.file);
    const FileDescriptor* file = DescriptorPool::generated_pool()->FindFileByName(row.file);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->package(), "");
    EXPECT_EQ(file->syntax(), FileDescriptor::SYNTAX_PROTO3);
    ASSERT_EQ(file->dependency_count(), 1);
    EXPECT_EQ(file->dependency(0)->name(), "google/protobuf/empty.proto");
    ASSERT_EQ(file->service_count(), 1);
    ASSERT_EQ(file->message_type_count(), static_cast<int>(row.messages.size()));
    for (size_t i = 0; i < row.messages.size(); ++i) {
      EXPECT_EQ(file->message_type(static_cast<int>(i))->full_name(), row.messages[i]);
    }

    const ServiceDescriptor* service = file->service(0);
    EXPECT_EQ(service->full_name(), row.service);
    ASSERT_EQ(service->method_count(), static_cast<int>(row.methods.size()));
    for (size_t i = 0; i < row.methods.size(); ++i) {
      SCOPED_TRACE(row.methods[i].name);
      const auto* method = service->FindMethodByName(row.methods[i].name);
      ASSERT_NE(method, nullptr);
      EXPECT_EQ(method->index(), static_cast<int>(i));
      EXPECT_EQ(method->input_type()->full_name(), row.methods[i].request);
      EXPECT_EQ(method->output_type()->full_name(), row.methods[i].response);
      EXPECT_FALSE(method->client_streaming() || method->server_streaming());
    }
  }
}

TEST(DescriptorPoolTest, GeneratedDescriptorIsThePoolsAndStable) {
  for (const ServiceRow& row : Schemas()) {
    SCOPED_TRACE(row.service);
    const ServiceDescriptor* first = row.descriptor();
    EXPECT_EQ(first, DescriptorPool::generated_pool()->FindFileByName(row.file)->service(0));
    EXPECT_EQ(row.descriptor(), first);
  }
  RecordingOverlayService overlay;
  EXPECT_EQ(overlay.GetDescriptor(), RecordingOverlayService::descriptor());
  EXPECT_EQ(overlay.GetDescriptor()->full_name(), "RecordingOverlayService");
  EXPECT_EQ(overlay.GetDescriptor()->method(1)->name(), "Hide");
}

TEST(DescriptorPoolTest, EnumsCarryTheirValues) {
  const auto* type = PermissionType_descriptor();
  EXPECT_EQ(type->full_name(), "PermissionType");
  EXPECT_EQ(type->file()->name(), "permissions.proto");
  ASSERT_EQ(type->value_count(), 3);
  EXPECT_EQ(type->FindValueByNumber(2)->name(), "PERMISSION_TYPE_ACCESSIBILITY");

  const auto* status = PermissionStatus_descriptor();
  EXPECT_EQ(status->full_name(), "PermissionStatus");
  ASSERT_EQ(status->value_count(), 4);
  EXPECT_EQ(status->FindValueByNumber(3)->name(), "PERMISSION_STATUS_NOT_DETERMINED");
}

TEST(DescriptorPoolTest, DescriptorIsSafeToRequestFromManyThreadsAtFirstUse) {
  std::vector<std::thread> threads;
  std::vector<const ServiceDescriptor*> seen(8);
  for (size_t i = 0; i < seen.size(); ++i) {
    threads.emplace_back([&seen, i] { seen[i] = FrontmostAppService::descriptor(); });
  }
  for (std::thread& thread : threads) thread.join();
  for (const ServiceDescriptor* descriptor : seen) {
    EXPECT_EQ(descriptor,
              DescriptorPool::generated_pool()->FindServiceByName("FrontmostAppService"));
  }
}

}  // namespace
}  // namespace kz::testing
