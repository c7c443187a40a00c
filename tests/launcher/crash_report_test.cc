// abort_report_np: the abort, and the crash report with its name and reason.
#include <darwin/stdlib.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <regex>

#include "launcher_test_support.h"
#include "standin/crash_reports.h"

namespace ondrel::testing {
namespace {

TEST(CrashReportTest, AbortWritesOneReportPerAbortWithItsReason) {
  ScopedHome home;
  EXPECT_EXIT(abort_report_np("first %d", 1), ::testing::KilledBySignal(SIGABRT),
              ::testing::IsEmpty());
  EXPECT_EXIT(abort_report_np("second\nline"), ::testing::KilledBySignal(SIGABRT),
              ::testing::IsEmpty());

  std::vector<standin::CrashReport> reports = standin::ReadCrashReports(home.path());
  ASSERT_EQ(reports.size(), 2u);
  const std::regex name("launcher_platform_tests-\\d{4}-\\d\\d-\\d\\d-\\d{6}(-\\d+)?\\.ips");
  std::vector<std::string> reasons;
  for (const standin::CrashReport& report : reports) {
    EXPECT_TRUE(std::regex_match(report.file_name, name)) << report.file_name;
    EXPECT_EQ(report.process, "launcher_platform_tests");
    reasons.push_back(report.reason);
  }
  EXPECT_THAT(reasons, ::testing::UnorderedElementsAre("first 1", "second\nline"));
}

}  // namespace
}  // namespace ondrel::testing
