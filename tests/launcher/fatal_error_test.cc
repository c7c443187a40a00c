// FatalError in a child of the test: what reaches standard error and the crash report.
#include "fatal_error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <string>

#include "launcher_test_support.h"
#include "standin/crash_reports.h"

namespace ondrel::testing {
namespace {

TEST(FatalErrorTest, WritesTheMessageAsItIsAndRecordsItAsTheReason) {
  ScopedHome home;
  EXPECT_EXIT(FatalError("dlopen %s: %s.", "/a b/..", "no such file"),
              ::testing::KilledBySignal(SIGABRT), ::testing::Eq("dlopen /a b/..: no such file."));
  std::vector<standin::CrashReport> reports = standin::ReadCrashReports(home.path());
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].reason, "dlopen /a b/..: no such file.");
}

TEST(FatalErrorTest, LongMessageIsCutTo4095Characters) {
  ScopedHome home;
  const std::string long_text(5000, 'x');
  const std::string cut(4095, 'x');
  EXPECT_EXIT(FatalError("%s", long_text.c_str()), ::testing::KilledBySignal(SIGABRT),
              ::testing::Eq(cut));
  std::vector<standin::CrashReport> reports = standin::ReadCrashReports(home.path());
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].reason, cut);
}

// A wide character that the C locale cannot encode makes the formatting fail.
TEST(FatalErrorTest, MessageThatCannotBeFormattedAbortsWithoutWriting) {
  ScopedHome home;
  EXPECT_EXIT(FatalError("%ls", L"\u00e9"), ::testing::KilledBySignal(SIGABRT),
              ::testing::IsEmpty());
  EXPECT_TRUE(standin::ReadCrashReports(home.path()).empty());
}

}  // namespace
}  // namespace ondrel::testing
