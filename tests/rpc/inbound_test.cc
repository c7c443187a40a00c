// Inbound calls through the transport: routing by name, the rejections, decoding, and the rule that
// every call is answered exactly once on the calling thread before Invoke returns.
#include <google/protobuf/wrappers.pb.h>
#include <gtest/gtest.h>

#include <string>

#include "rpc/rpc_test_service.h"
#include "rpc/transport.h"
#include "support/answer_log.h"

namespace kz::testing {
namespace {

using google::protobuf::StringValue;

std::string EncodedText(const std::string& text) {
  StringValue message;
  message.set_value(text);
  return message.SerializeAsString();
}

class InboundTest : public ::testing::Test {
 protected:
  void SetUp() override { kz::rpc::RegisterService(&service_); }
  RpcTestService service_{"echo:"};
};

TEST_F(InboundTest, RoutesByServiceAndMethodName) {
  Answer answer = InvokeOnce(7, "RpcTestService", "Echo", EncodedText("hi"));
  ASSERT_TRUE(answer.replied);
  StringValue response;
  ASSERT_TRUE(response.ParseFromString(answer.payload));
  EXPECT_EQ(response.value(), "echo:hi");
  EXPECT_EQ(answer.id, 7u);
}

struct RejectionCase {
  const char* label;
  const char* service;
  const char* method;
  std::string payload;
  bool null_data;
  const char* text;
};

TEST_F(InboundTest, RejectsWithoutCallingTheService) {
  const RejectionCase cases[] = {
      {"unknown service", "NoSuchService", "Echo", "", false, "Service not found."},
      {"service name differs in case", "rpctestservice", "Echo", "", false, "Service not found."},
      {"null service", nullptr, "Echo", "", false, "Service not found."},
      {"unknown method", "RpcTestService", "Shout", "", false, "Method not found."},
      {"method name differs in case", "RpcTestService", "echo", "", false, "Method not found."},
      {"null method", "RpcTestService", nullptr, "", false, "Method not found."},
      {"truncated payload", "RpcTestService", "Echo", std::string("\x0a\x05hi", 4), false,
       "Failed to parse RPC request."},
      {"string that is not UTF-8", "RpcTestService", "Echo", std::string("\x0a\x02\xff\xfe", 4),
       false, "Failed to parse RPC request."},
      {"invalid wire type", "RpcTestService", "Echo", std::string("\x0f\x01", 2), false,
       "Failed to parse RPC request."},
      {"field number zero", "RpcTestService", "Echo", std::string("\x00\x01", 2), false,
       "Failed to parse RPC request."},
      {"null data with a length", "RpcTestService", "Echo", "xxxx", true,
       "Failed to parse RPC request."},
  };
  uint64_t id = 100;
  for (const RejectionCase& c : cases) {
    SCOPED_TRACE(c.label);
    ++id;
    ::invoke(id, c.service, c.method, c.null_data ? nullptr : c.payload.data(), c.payload.size(),
             &AnswerLog::Reply, &AnswerLog::Reject);
    std::vector<Answer> answers = AnswerLog::ForId(id);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_FALSE(answers[0].replied);
    EXPECT_EQ(answers[0].payload, c.text);
    EXPECT_EQ(answers[0].thread, std::this_thread::get_id());
  }
  EXPECT_EQ(service_.calls(), 0);
}

TEST_F(InboundTest, EmptyPayloadIsTheEmptyMessage) {
  ::invoke(1, "RpcTestService", "Ping", nullptr, 0, &AnswerLog::Reply, &AnswerLog::Reject);
  Answer ping = AnswerLog::ForId(1).at(0);
  EXPECT_TRUE(ping.replied);
  EXPECT_EQ(ping.payload, "");

  Answer echo = InvokeOnce(2, "RpcTestService", "Echo", "");
  StringValue response;
  ASSERT_TRUE(response.ParseFromString(echo.payload));
  EXPECT_EQ(response.value(), "echo:");
  EXPECT_EQ(service_.calls(), 2);
}

TEST_F(InboundTest, UnknownFieldsInTheRequestStillDispatch) {
  // Field 9 is not in the schema: the message decodes and keeps it.
  Answer answer = InvokeOnce(3, "RpcTestService", "Echo", std::string("\x48\x01", 2));
  EXPECT_TRUE(answer.replied);
}

TEST_F(InboundTest, MethodThatNeverAnswersIsCanceledByItsHandle) {
  Answer answer = InvokeOnce(4, "RpcTestService", "Silent", "");
  EXPECT_FALSE(answer.replied);
  EXPECT_EQ(answer.payload, "RPC canceled: callback destroyed without completion.");
}

TEST_F(InboundTest, SecondAnswerOfAHandleIsDropped) {
  Answer answer = InvokeOnce(5, "RpcTestService", "AnswerTwice", EncodedText("once"));
  EXPECT_TRUE(answer.replied);
}

TEST_F(InboundTest, FirstRegistrationUnderANameWins) {
  RpcTestService impostor("impostor:");
  kz::rpc::RegisterService(&impostor);
  Answer answer = InvokeOnce(6, "RpcTestService", "Echo", EncodedText("x"));
  StringValue response;
  ASSERT_TRUE(response.ParseFromString(answer.payload));
  EXPECT_EQ(response.value(), "echo:x");
  EXPECT_EQ(impostor.calls(), 0);
}

TEST_F(InboundTest, CallWithoutAnswerFunctionsIsDropped) {
  const std::string payload = EncodedText("x");
  ::invoke(8, "RpcTestService", "Echo", payload.data(), payload.size(), nullptr,
           &AnswerLog::Reject);
  ::invoke(9, "RpcTestService", "Echo", payload.data(), payload.size(), &AnswerLog::Reply, nullptr);
  ::invoke(10, "NoSuchService", "Echo", nullptr, 0, &AnswerLog::Reply, nullptr);
  EXPECT_EQ(AnswerLog::Count(), 0u);
  EXPECT_EQ(service_.calls(), 0);
}

// A host whose reject function re-enters the library must not deadlock on the registry lock.
void RegisteringReject(uint64_t id, const char* error) {
  static RpcTestService late_service("late:");
  kz::rpc::RegisterService(&late_service);
  AnswerLog::Reject(id, error);
}

TEST(InboundReentryTest, ServiceNotFoundRejectionMayReenterTheRegistry) {
  ::invoke(11, "RpcTestService", "Echo", nullptr, 0, &AnswerLog::Reply, &RegisteringReject);
  EXPECT_EQ(AnswerLog::ForId(11).at(0).payload, "Service not found.");
  Answer answer = InvokeOnce(12, "RpcTestService", "Echo", EncodedText("y"));
  EXPECT_TRUE(answer.replied);
}

}  // namespace
}  // namespace kz::testing
