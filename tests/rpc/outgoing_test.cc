// Outgoing calls: numbering, the pending table, answers from the host in every form, and typed
// decoding of the outcome.
#include <google/protobuf/empty.pb.h>
#include <google/protobuf/wrappers.pb.h>
#include <gtest/gtest.h>

#include <optional>
#include <thread>
#include <vector>

#include "rpc/request.h"
#include "support/fake_host.h"

namespace kz::testing {
namespace {

using google::protobuf::Empty;
using google::protobuf::StringValue;
using kz::rpc::Result;
using kz::rpc::SerializedResult;

// Collects the outcomes delivered to one caller's callback.
template <typename T>
struct Outcomes {
  std::vector<T> received;
  std::function<void(T)> Callback() {
    return [this](T outcome) { received.push_back(std::move(outcome)); };
  }
};

StringValue Text(const std::string& value) {
  StringValue message;
  message.set_value(value);
  return message;
}

class OutgoingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FakeHost::Reset();
    FakeHost::Install();
  }
  void TearDown() override { ::set_host_invoke(nullptr); }
};

TEST_F(OutgoingTest, CallsAreNumberedFromOneInOrder) {
  Outcomes<SerializedResult> outcomes;
  for (int i = 0; i < 3; ++i) {
    kz::rpc::RequestSerialized("HostService", "Method", Text("payload"), outcomes.Callback());
  }
  std::vector<HostCall> calls = FakeHost::Calls();
  ASSERT_EQ(calls.size(), 3u);
  for (uint64_t i = 0; i < 3; ++i) {
    EXPECT_EQ(calls[i].id, i + 1);
    EXPECT_EQ(calls[i].service, "HostService");
    EXPECT_EQ(calls[i].method, "Method");
    EXPECT_EQ(calls[i].payload, Text("payload").SerializeAsString());
  }
  EXPECT_TRUE(outcomes.received.empty());
}

TEST_F(OutgoingTest, WithoutAHostTheCallFailsAtOnceAndTakesNoId) {
  ::set_host_invoke(nullptr);
  Outcomes<Result<Empty>> outcomes;
  kz::rpc::Request<Empty, Empty>("HostService", "Method", Empty(), outcomes.Callback());
  ASSERT_EQ(outcomes.received.size(), 1u);
  EXPECT_FALSE(outcomes.received[0].value.has_value());
  EXPECT_EQ(outcomes.received[0].error, "Native RPC host is not available.");

  FakeHost::Install();
  kz::rpc::Request<Empty, Empty>("HostService", "Method", Empty(), outcomes.Callback());
  ASSERT_EQ(FakeHost::Calls().size(), 1u);
  EXPECT_EQ(FakeHost::Calls()[0].id, 1u);
}

TEST_F(OutgoingTest, HostMayAnswerFromInsideItsCallOut) {
  FakeHost::AnswerSynchronously(HostAnswer{true, Text("sync").SerializeAsString(), false});
  Outcomes<Result<StringValue>> outcomes;
  kz::rpc::Request<StringValue, StringValue>("HostService", "Method", Text("q"),
                                             outcomes.Callback());
  ASSERT_EQ(outcomes.received.size(), 1u);
  ASSERT_TRUE(outcomes.received[0].value.has_value());
  EXPECT_EQ(outcomes.received[0].value->value(), "sync");
}

TEST_F(OutgoingTest, TypedOutcomes) {
  struct Case {
    const char* label;
    bool reply;
    std::string bytes;
    bool null_data;
    bool null_text;
    std::optional<std::string> value;  // the decoded text, or none for a failure
    std::string error;
  };
  const Case cases[] = {
      {"reply", true, Text("ok").SerializeAsString(), false, false, "ok", ""},
      {"reply of zero bytes is the default message", true, "", false, false, "", ""},
      {"reply that does not parse", true, std::string("\x0a\x09", 2), false, false, std::nullopt,
       "Failed to parse RPC response."},
      {"reply with a null pointer and a length", true, "xyz", true, false, std::nullopt,
       "Failed to parse RPC response."},
      {"rejection keeps the host's text", false, "denied by host", false, false, std::nullopt,
       "denied by host"},
      {"rejection with an empty text", false, "", false, false, std::nullopt, ""},
      {"rejection with a null text", false, "", false, true, std::nullopt, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    FakeHost::Reset();
    Outcomes<Result<StringValue>> outcomes;
    kz::rpc::Request<StringValue, StringValue>("HostService", "Method", Text("q"),
                                               outcomes.Callback());
    HostCall call = FakeHost::Calls().at(0);
    if (c.reply) {
      call.reply(call.id, c.null_data ? nullptr : c.bytes.data(), c.bytes.size());
    } else {
      call.reject(call.id, c.null_text ? nullptr : c.bytes.c_str());
    }
    ASSERT_EQ(outcomes.received.size(), 1u);
    const Result<StringValue>& result = outcomes.received[0];
    EXPECT_EQ(result.value.has_value(), c.value.has_value());
    if (c.value && result.value) {
      EXPECT_EQ(result.value->value(), *c.value);
    }
    EXPECT_EQ(result.error, c.error);
  }
}

TEST_F(OutgoingTest, OnlyTheFirstAnswerForAnIdCounts) {
  Outcomes<SerializedResult> outcomes;
  kz::rpc::RequestSerialized("HostService", "Method", Empty(), outcomes.Callback());
  HostCall call = FakeHost::Calls().at(0);
  call.reply(call.id, "", 0);
  call.reject(call.id, "late");
  call.reply(call.id, "x", 1);
  call.reply(call.id + 1000, "x", 1);  // never issued
  call.reject(0, "never issued");
  ASSERT_EQ(outcomes.received.size(), 1u);
  EXPECT_TRUE(outcomes.received[0].ok);
  EXPECT_EQ(outcomes.received[0].data, "");
}

TEST_F(OutgoingTest, PendingCallsSurviveRemovalOfTheHost) {
  Outcomes<SerializedResult> outcomes;
  kz::rpc::RequestSerialized("HostService", "Method", Empty(), outcomes.Callback());
  HostCall pending = FakeHost::Calls().at(0);

  ::set_host_invoke(nullptr);
  kz::rpc::RequestSerialized("HostService", "Method", Empty(), outcomes.Callback());
  ASSERT_EQ(outcomes.received.size(), 1u);
  EXPECT_EQ(outcomes.received[0].error, "Native RPC host is not available.");

  // The late answer arrives from another thread, as a real host's would.
  std::thread([&] { pending.reply(pending.id, "\x08\x01", 2); }).join();
  ASSERT_EQ(outcomes.received.size(), 2u);
  EXPECT_TRUE(outcomes.received[1].ok);
  EXPECT_EQ(outcomes.received[1].data, "\x08\x01");
  EXPECT_EQ(FakeHost::Calls().size(), 1u);
}

TEST_F(OutgoingTest, EmptyCallbackIsIgnored) {
  kz::rpc::RequestSerialized("HostService", "Method", Empty(), nullptr);
  kz::rpc::Request<Empty, Empty>("HostService", "Method", Empty(), nullptr);
  EXPECT_TRUE(FakeHost::Calls().empty());
}

}  // namespace
}  // namespace kz::testing
