// The launcher binary run as a child process from temporary bundles, with small fixture frameworks
// in the engine's place: its exit status, its standard error byte for byte, the abort and the
// crash report's reason.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "launcher_test_support.h"
#include "standin/crash_reports.h"
#include "standin/faults.h"

namespace ondrel::testing {
namespace {

namespace fs = std::filesystem;

constexpr char kZonesAfterRegistration[] =
    "zones=DelegatingDefaultZoneForPartitionAlloc,DefaultMallocZone,DefaultPurgeableMallocZone\n";

class LaunchTest : public ::testing::Test {
 protected:
  const std::string& root() const { return folders_.root(); }
  std::string home() const { return folders_.home(); }
  std::string scratch() const { return folders_.scratch(); }

  // A bundle under `parent` with the built launcher and, unless null, `framework`.
  static std::string MakeBundle(const std::string& parent, const char* framework) {
    return testing::MakeBundle(parent, ONDREL_LAUNCHER_PATH, framework);
  }

  ChildRun Launch(const std::string& program, std::vector<std::string> arguments = {},
                  const std::string& faults = "", const std::string& working_directory = "") {
    ChildOptions options;
    options.arguments = arguments.empty() ? std::vector<std::string>{program} : arguments;
    options.environment = {"HOME=" + home(),
                           std::string(standin::kFaultsEnvironmentVariable) + "=" + faults};
    options.working_directory = working_directory;
    return RunChild(program, options, scratch());
  }

  // The run ended in an abort that wrote `message` to standard error (as it is, no line feed) and
  // recorded `reason` in one crash report of the launcher.
  void ExpectAborted(const ChildRun& run, const std::string& message, const std::string& reason) {
    EXPECT_FALSE(run.exited) << "exit status " << run.exit_status << ", stderr: " << run.err;
    EXPECT_EQ(run.signal, SIGABRT);
    EXPECT_EQ(run.err, message);
    EXPECT_EQ(run.out, "");
    std::vector<standin::CrashReport> reports = standin::ReadCrashReports(home());
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].process, "ondrel_launcher");
    EXPECT_TRUE(reports[0].file_name.starts_with("ondrel_launcher-")) << reports[0].file_name;
    EXPECT_EQ(reports[0].reason, reason);
  }

  void ExpectFatal(const ChildRun& run, const std::string& message) {
    ExpectAborted(run, message, message);
  }

 private:
  ChildFolders folders_;
};

TEST_F(LaunchTest, ChromeMainGetsTheArgumentsUnchangedAndItsResultIsTheExitStatus) {
  const std::string launcher = MakeBundle(root(), ONDREL_REPORTING_FRAMEWORK);
  ChildRun run = Launch(launcher, {"Ondrel", "--flag", "two words", "", "--flag"});

  ASSERT_TRUE(run.exited) << "signal " << run.signal << ", stderr: " << run.err;
  EXPECT_EQ(run.exit_status, 3);
  EXPECT_EQ(run.err, "");
  const std::string owner = ONDREL_REPLACES_PROCESS_ALLOCATOR ? "DefaultMallocZone" : "none";
  EXPECT_EQ(run.out,
            "argc=5\n"
            "argv[0]=Ondrel\n"
            "argv[1]=--flag\n"
            "argv[2]=two words\n"
            "argv[3]=\n"
            "argv[4]=--flag\n"
            "image=" +
                FrameworkPathFor(launcher) + "\n" + kZonesAfterRegistration +
                "malloc_owner=" + owner + "\n");
  EXPECT_TRUE(standin::ReadCrashReports(home()).empty());
}

TEST_F(LaunchTest, EveryThreadAllocatesThroughTheZones) {
  const std::string launcher = MakeBundle(root(), ONDREL_REPORTING_FRAMEWORK);
  ChildRun run = Launch(launcher, {launcher, "--allocate-from-threads"});

  ASSERT_TRUE(run.exited) << "signal " << run.signal << ", stderr: " << run.err;
  EXPECT_EQ(run.exit_status, 3);
  EXPECT_NE(run.out.find("\nthreads=ok\n"), std::string::npos) << run.out;
}

// However the executable is reached, the framework path is its folder as started, joined with the
// relative path: no link is resolved and no ".." is folded.
TEST_F(LaunchTest, FrameworkPathKeepsTheWayTheLauncherWasStarted) {
  const std::string launcher = MakeBundle(root(), ONDREL_REPORTING_FRAMEWORK);
  fs::create_directory_symlink(root() + "/Ondrel.app", root() + "/Linked.app");
  struct Case {
    std::string started_as;
    std::string working_directory;
    std::string folder;  // the executable's folder as the launcher sees it
  };
  const Case cases[] = {
      {root() + "/Linked.app/Contents/MacOS/ondrel_launcher", "",
       root() + "/Linked.app/Contents/MacOS"},
      {root() + "/Ondrel.app/Contents/Frameworks/../MacOS/ondrel_launcher", "",
       root() + "/Ondrel.app/Contents/Frameworks/../MacOS"},
      {"./Ondrel.app/Contents/MacOS/ondrel_launcher", root(),
       root() + "/./Ondrel.app/Contents/MacOS"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.started_as);
    ChildRun run = Launch(c.started_as, {}, "", c.working_directory);
    ASSERT_TRUE(run.exited) << "signal " << run.signal << ", stderr: " << run.err;
    EXPECT_EQ(run.exit_status, 3);
    EXPECT_NE(run.out.find("\nimage=" + c.folder + "/" + kRelativeFrameworkPath + "\n"),
              std::string::npos)
        << run.out;
  }
}

TEST_F(LaunchTest, MissingFrameworkEndsWithTheFullPathTried) {
  MakeBundle(root(), nullptr);
  fs::create_directory_symlink(root() + "/Ondrel.app", root() + "/Linked.app");
  const std::string launcher = root() + "/Linked.app/Contents/MacOS/ondrel_launcher";
  const std::string framework = FrameworkPathFor(launcher);

  ExpectFatal(Launch(launcher), "dlopen " + framework + ": " + framework +
                                    ": cannot open shared object file: No such file or directory.");
}

TEST_F(LaunchTest, FrameworkWithoutChromeMainEndsInDlsym) {
  const std::string launcher = MakeBundle(root(), ONDREL_EMPTY_FRAMEWORK);

  ExpectFatal(Launch(launcher), "dlsym ChromeMain: " + FrameworkPathFor(launcher) +
                                    ": undefined symbol: ChromeMain.");
}

// Only the framework image itself is searched: its dependency's ChromeMain is not taken.
TEST_F(LaunchTest, ChromeMainOfADependencyIsNotFound) {
  const std::string launcher = MakeBundle(root(), ONDREL_FORWARDING_FRAMEWORK);

  ExpectFatal(Launch(launcher), "dlsym ChromeMain: " + FrameworkPathFor(launcher) +
                                    ": undefined symbol: ChromeMain (only an image it depends on "
                                    "exports it, and RTLD_FIRST searches this image alone).");
}

TEST_F(LaunchTest, FolderBeyondThePathLimitEndsInDirname) {
  std::string deep = root();
  const std::string segment(250, 'd');
  while (deep.size() < 1100) deep += "/" + segment;
  const std::string launcher = MakeBundle(deep, ONDREL_REPORTING_FRAMEWORK);

  ExpectFatal(Launch(launcher), "dirname " + launcher + ": File name too long.");
}

}  // namespace
}  // namespace ondrel::testing
