// Every way the launcher's start can fail, through the built launcher in a temporary bundle: each
// failure of a platform call it makes (made to happen by the stand-in's failure injection) and each
// zone list the zone registration refuses (a zone registered before main by a preloaded fixture).
// For each: the exact message, where it goes and the abort. The launcher's own failures end in
// FatalError, which writes the message to standard error and records it in the crash report; the
// zone registration's failures go to the crash report only. Either way the process aborts before
// the framework runs, so nothing reaches standard output.
//
// (FatalError's own branch for a message that cannot be formatted is not reachable through the
// launcher, whose messages are plain text and paths; fatal_error_test.cc covers it.)
#include <gtest/gtest.h>
#include <signal.h>

#include <cctype>
#include <ostream>
#include <string>
#include <vector>

#include "launcher_test_support.h"
#include "standin/crash_reports.h"
#include "standin/faults.h"

namespace ondrel::testing {
namespace {

enum class Destination { kStandardErrorAndCrashReport, kCrashReportOnly };

// One failure branch. The texts may name the paths of the bundle under test: "{launcher}" stands
// for the launcher's path, "{framework}" for the framework path it tries, "{launcher size}" for the
// size of the executable path buffer and "{framework size}" for that of the framework path buffer.
struct Branch {
  const char* name;
  const char* faults;              // for ONDREL_STANDIN_FAULTS
  const char* preregistered_zone;  // a zone registered under this name before main; null: none
  const char* message;
  Destination destination;
  bool needs_process_allocator = false;  // the fault is in the process's malloc
};

void PrintTo(const Branch& branch, std::ostream* out) { *out << branch.name; }

constexpr Destination kBoth = Destination::kStandardErrorAndCrashReport;
constexpr Destination kReportOnly = Destination::kCrashReportOnly;
constexpr char kCannotEnumerate[] = "Cannot enumerate malloc zones.";

const Branch kBranches[] = {
    // The launcher, in the order of its steps.
    {"ExecutablePathLength", "_NSGetExecutablePath@1", nullptr,
     "_NSGetExecutablePath: get length failed.", kBoth},
    {"ExecutablePathBuffer", "malloc={launcher size}", nullptr,
     "Cannot allocate {launcher size} bytes for the executable path.", kBoth, true},
    {"ExecutablePath", "_NSGetExecutablePath@2", nullptr, "_NSGetExecutablePath: get path failed.",
     kBoth},
    {"Dirname", "dirname", nullptr, "dirname {launcher}: Invalid argument.", kBoth},
    {"FrameworkPathBuffer", "malloc={framework size}", nullptr,
     "Cannot allocate {framework size} bytes for the framework path.", kBoth, true},
    {"Dlopen", "dlopen", nullptr, "dlopen {framework}: injected fault.", kBoth},
    {"Dlsym", "dlsym", nullptr, "dlsym ChromeMain: injected fault.", kBoth},
    // The zone registration: each of the four enumerations failing, or giving a list it cannot use
    // (none where the first zone is read, or a null list that claims zones).
    {"SavedZoneEnumerationFails", "malloc_get_all_zones@1", nullptr, kCannotEnumerate, kReportOnly},
    {"SavedZoneEnumerationEmpty", "malloc_get_all_zones@1=empty", nullptr, kCannotEnumerate,
     kReportOnly},
    {"SavedZoneEnumerationNull", "malloc_get_all_zones@1=null", nullptr, kCannotEnumerate,
     kReportOnly},
    {"DelegatingNameEnumerationFails", "malloc_get_all_zones@2", nullptr, kCannotEnumerate,
     kReportOnly},
    {"DelegatingNameEnumerationNull", "malloc_get_all_zones@2=null", nullptr, kCannotEnumerate,
     kReportOnly},
    {"PartitionAllocNameEnumerationFails", "malloc_get_all_zones@3", nullptr, kCannotEnumerate,
     kReportOnly},
    {"PartitionAllocNameEnumerationNull", "malloc_get_all_zones@3=null", nullptr, kCannotEnumerate,
     kReportOnly},
    {"ResultEnumerationFails", "malloc_get_all_zones@4", nullptr, kCannotEnumerate, kReportOnly},
    {"ResultEnumerationEmpty", "malloc_get_all_zones@4=empty", nullptr, kCannotEnumerate,
     kReportOnly},
    {"ResultEnumerationNull", "malloc_get_all_zones@4=null", nullptr, kCannotEnumerate,
     kReportOnly},
    {"DelegatingZoneAlreadyRegistered", "", "DelegatingDefaultZoneForPartitionAlloc",
     "The delegating default zone has unexpectedly already been registered.", kReportOnly},
    {"PartitionAllocZoneAlreadyRegistered", "", "PartitionAlloc",
     "The PartitionAlloc default zone has unexpectedly already been registered.", kReportOnly},
    {"DelegatingZoneNotFirst", "malloc_zone_register@1", nullptr,
     "Failed to install the delegating zone as default.", kReportOnly},
};

std::string BranchName(const ::testing::TestParamInfo<Branch>& info) { return info.param.name; }

std::string Replace(std::string text, const std::string& placeholder, const std::string& value) {
  for (size_t at = text.find(placeholder); at != std::string::npos;
       at = text.find(placeholder, at + value.size())) {
    text.replace(at, placeholder.size(), value);
  }
  return text;
}

class FaultMatrixTest : public ::testing::TestWithParam<Branch> {
 protected:
  // Every branch aborts: the folders come with core files off.
  const std::string& root() const { return folders_.root(); }
  std::string home() const { return folders_.home(); }
  std::string scratch() const { return folders_.scratch(); }

  // The branch's text for the bundle of `launcher`.
  static std::string ForBundle(const std::string& text, const std::string& launcher) {
    const std::string framework = FrameworkPathFor(launcher);
    // The executable path with its NUL; the launcher's folder, "/", the relative path and a NUL.
    const std::string launcher_size = std::to_string(launcher.size() + 1);
    const std::string framework_size = std::to_string(framework.size() + 1);
    return Replace(Replace(Replace(Replace(text, "{launcher size}", launcher_size),
                                   "{framework size}", framework_size),
                           "{launcher}", launcher),
                   "{framework}", framework);
  }

  ChildFolders folders_;
};

TEST_P(FaultMatrixTest, EndsWithItsMessageWhereItBelongsAndAborts) {
  const Branch& branch = GetParam();
  if (branch.needs_process_allocator && !ONDREL_REPLACES_PROCESS_ALLOCATOR) {
    GTEST_SKIP() << "this build leaves the process's malloc to the system";
  }
  const std::string launcher = MakeBundle(root(), ONDREL_LAUNCHER_PATH, ONDREL_REPORTING_FRAMEWORK);
  const std::string message = ForBundle(branch.message, launcher);

  ChildOptions options;
  options.arguments = {launcher};
  options.environment = {"HOME=" + home(), std::string(standin::kFaultsEnvironmentVariable) + "=" +
                                               ForBundle(branch.faults, launcher)};
  if (branch.preregistered_zone != nullptr) {
    options.environment.push_back(std::string("LD_PRELOAD=") + ONDREL_ZONE_REGISTERING_FIXTURE);
    options.environment.push_back(std::string("ONDREL_TEST_PREREGISTERED_ZONE=") +
                                  branch.preregistered_zone);
  }
  const ChildRun run = RunChild(launcher, options, scratch());

  EXPECT_FALSE(run.exited) << "exit status " << run.exit_status << ", stderr: " << run.err;
  EXPECT_EQ(run.signal, SIGABRT);
  EXPECT_EQ(run.out, "") << "the framework ran";
  EXPECT_EQ(run.err, branch.destination == kBoth ? message : "");
  const std::vector<standin::CrashReport> reports = standin::ReadCrashReports(home());
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].process, "ondrel_launcher");
  EXPECT_EQ(reports[0].reason, message);
}

INSTANTIATE_TEST_SUITE_P(Branches, FaultMatrixTest, ::testing::ValuesIn(kBranches), BranchName);

// The fixtures of the matrix start normally without their fault: the reporting framework runs and
// its ChromeMain's 3 is the exit status, and a zone registered beforehand under another name is
// no obstacle.
TEST(FaultMatrixFixtureTest, WithoutAFaultTheLauncherStarts) {
  ChildFolders folders;
  const std::string launcher =
      MakeBundle(folders.root(), ONDREL_LAUNCHER_PATH, ONDREL_REPORTING_FRAMEWORK);
  ScopedHome home;
  ChildOptions options;
  options.arguments = {launcher};
  options.environment = {std::string("LD_PRELOAD=") + ONDREL_ZONE_REGISTERING_FIXTURE,
                         "ONDREL_TEST_PREREGISTERED_ZONE=PartitionAllocator"};
  const ChildRun run = RunChild(launcher, options, folders.scratch());

  ASSERT_TRUE(run.exited) << "signal " << run.signal << ", stderr: " << run.err;
  EXPECT_EQ(run.exit_status, 3);
  EXPECT_EQ(run.err, "");
  EXPECT_NE(run.out.find("\nzones=DelegatingDefaultZoneForPartitionAlloc,"), std::string::npos)
      << run.out;
  EXPECT_TRUE(standin::ReadCrashReports(home.path()).empty());
}

}  // namespace
}  // namespace ondrel::testing
