// The completion handle on its own: exactly one answer, whatever the order of operations.
#include "rpc/callback.h"

#include <google/protobuf/empty.pb.h>
#include <google/protobuf/wrappers.pb.h>
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "support/answer_log.h"

namespace kz::testing {
namespace {

using google::protobuf::Empty;
using google::protobuf::StringValue;
using kz::rpc::Callback;

TEST(CallbackTest, CompleteThenRejectSendsOnlyTheReply) {
  {
    Callback<StringValue> callback(1, &AnswerLog::Reply, &AnswerLog::Reject);
    StringValue response;
    response.set_value("done");
    std::move(callback).Complete(response);
    std::move(callback).Reject("too late");
    std::move(callback).Complete(response);
  }
  std::vector<Answer> answers = AnswerLog::Take();
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_TRUE(answers[0].replied);
  EXPECT_EQ(answers[0].payload, std::string("\x0a\x04"
                                            "done",
                                            6));
}

TEST(CallbackTest, RejectThenCompleteSendsOnlyTheRejection) {
  {
    Callback<Empty> callback(2, &AnswerLog::Reply, &AnswerLog::Reject);
    std::move(callback).Reject("");
    std::move(callback).Complete(Empty());
  }
  std::vector<Answer> answers = AnswerLog::Take();
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_FALSE(answers[0].replied);
  EXPECT_EQ(answers[0].payload, "");  // an empty text, not a null one
}

TEST(CallbackTest, EmptyResponseIsZeroBytes) {
  {
    Callback<Empty> callback(3, &AnswerLog::Reply, &AnswerLog::Reject);
    std::move(callback).Complete(Empty());
  }
  std::vector<Answer> answers = AnswerLog::Take();
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_TRUE(answers[0].replied);
  EXPECT_EQ(answers[0].payload.size(), 0u);
}

// Small responses are encoded on the stack, larger ones into a string: both arrive whole, also at
// the sizes where one way ends and the other begins.
TEST(CallbackTest, ResponsesOfEverySizeArriveWhole) {
  // StringValue of n characters: one tag byte, the length (two bytes from 128 on), the text.
  for (const size_t text_size :
       {size_t{1}, size_t{252}, size_t{253}, size_t{254}, size_t{100000}}) {
    SCOPED_TRACE(text_size);
    StringValue response;
    response.set_value(std::string(text_size, 'x'));
    const std::string expected = response.SerializeAsString();
    {
      Callback<StringValue> callback(5, &AnswerLog::Reply, &AnswerLog::Reject);
      std::move(callback).Complete(response);
    }
    std::vector<Answer> answers = AnswerLog::Take();
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_TRUE(answers[0].replied);
    EXPECT_EQ(answers[0].payload, expected);
  }
}

TEST(CallbackTest, DroppedHandleCancelsOnce) {
  { Callback<Empty> callback(4, &AnswerLog::Reply, &AnswerLog::Reject); }
  std::vector<Answer> answers = AnswerLog::Take();
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(answers[0].id, 4u);
  EXPECT_EQ(answers[0].payload, "RPC canceled: callback destroyed without completion.");
}

TEST(CallbackTest, RacingCompleteAndRejectAnswerExactlyOnce) {
  for (uint64_t id = 0; id < 200; ++id) {
    Callback<Empty> callback(id, &AnswerLog::Reply, &AnswerLog::Reject);
    std::thread completer([&] { std::move(callback).Complete(Empty()); });
    std::thread rejecter([&] { std::move(callback).Reject("raced"); });
    completer.join();
    rejecter.join();
  }
  std::vector<Answer> answers = AnswerLog::Take();
  ASSERT_EQ(answers.size(), 200u);
  for (uint64_t id = 0; id < 200; ++id) EXPECT_EQ(answers[id].id, id);
}

}  // namespace
}  // namespace kz::testing
