// The workspace and running applications: what they report about the simulated desktop, activation
// requests, and that every object they hand out goes with its autorelease pool.
#include <AppKit/AppKit.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "standin/desktop.h"
#include "standin/objects.h"

namespace {

class WorkspaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    standin::ResetDesktop();
    NSWorkspace::sharedWorkspace();  // the process-wide object, made once
    pool_ = objc_autoreleasePoolPush();
    live_before_ = standin::LiveObjectCount();
  }
  void TearDown() override {
    objc_autoreleasePoolPop(pool_);
    EXPECT_EQ(standin::LiveObjectCount(), live_before_);
  }

  static std::vector<pid_t> ProcessIdentifiers(NSArray* applications) {
    std::vector<pid_t> pids;
    for (NSUInteger i = 0; i < applications->count(); ++i) {
      pids.push_back(
          static_cast<NSRunningApplication*>(applications->objectAtIndex(i))->processIdentifier());
    }
    return pids;
  }

  static std::string TextOrAbsent(NSString* text) {
    return text == nullptr ? "<absent>" : text->UTF8String();
  }

  void* pool_ = nullptr;
  long live_before_ = 0;
};

TEST_F(WorkspaceTest, FrontmostApplicationReportsWhatTheDesktopHas) {
  EXPECT_EQ(NSWorkspace::sharedWorkspace()->frontmostApplication(), nullptr);

  struct Case {
    standin::ApplicationSpec application;
    const char* bundle_identifier;
    const char* name;
  };
  const Case cases[] = {
      {{"com.example.editor", "Editor"}, "com.example.editor", "Editor"},
      {{std::nullopt, "Script"}, "<absent>", "Script"},
      {{"com.example.agent", std::nullopt}, "com.example.agent", "<absent>"},
      {{"", "Ünïcødé"}, "", "Ünïcødé"},
  };
  for (const Case& c : cases) {
    const pid_t pid = standin::LaunchApplication(c.application);
    standin::FocusApplication(pid);
    NSRunningApplication* app = NSWorkspace::sharedWorkspace()->frontmostApplication();
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(TextOrAbsent(app->bundleIdentifier()), c.bundle_identifier);
    EXPECT_EQ(TextOrAbsent(app->localizedName()), c.name);
    EXPECT_EQ(app->processIdentifier(), pid);
  }
}

TEST_F(WorkspaceTest, QuittingTheFrontmostApplicationLeavesNoneFrontmost) {
  const pid_t editor = standin::LaunchApplication({"com.example.editor", "Editor"});
  standin::FocusApplication(editor);
  NSRunningApplication* snapshot = NSWorkspace::sharedWorkspace()->frontmostApplication();
  EXPECT_TRUE(standin::QuitApplication(editor));
  EXPECT_FALSE(standin::QuitApplication(editor));
  EXPECT_EQ(standin::FrontmostApplication(), std::nullopt);
  EXPECT_EQ(NSWorkspace::sharedWorkspace()->frontmostApplication(), nullptr);
  // The object taken earlier keeps its values, but the application cannot come forward any more.
  EXPECT_STREQ(snapshot->localizedName()->UTF8String(), "Editor");
  EXPECT_FALSE(snapshot->activateWithOptions(NSApplicationActivateIgnoringOtherApps));
}

TEST_F(WorkspaceTest, RunningApplicationsWithBundleIdentifierInLaunchOrder) {
  const pid_t first = standin::LaunchApplication({"com.example.editor", "Editor"});
  standin::LaunchApplication({"com.example.other", "Other"});
  standin::LaunchApplication({std::nullopt, "No identifier"});
  const pid_t second = standin::LaunchApplication({"com.example.editor", "Editor"});

  auto lookup = [](const char* identifier) {
    return NSRunningApplication::runningApplicationsWithBundleIdentifier(
        NSString::stringWithUTF8String(identifier));
  };
  EXPECT_EQ(ProcessIdentifiers(lookup("com.example.editor")), (std::vector<pid_t>{first, second}));
  EXPECT_TRUE(ProcessIdentifiers(lookup("com.example.EDITOR")).empty());
  EXPECT_TRUE(ProcessIdentifiers(lookup("")).empty());
  EXPECT_EQ(NSRunningApplication::runningApplicationsWithBundleIdentifier(nullptr)->count(), 0u);
}

TEST_F(WorkspaceTest, ActivationRequests) {
  constexpr auto kIgnoring = NSApplicationActivateIgnoringOtherApps;
  struct Case {
    const char* label;
    bool refuses;
    bool other_frontmost;
    NSApplicationActivationOptions options;
    bool honoured;
  };
  const Case cases[] = {
      {"ignoring other applications", false, true, kIgnoring, true},
      {"refusing application", true, true, kIgnoring, false},
      {"another application is active", false, true, 0, false},
      {"nothing else is active", false, false, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    standin::ResetDesktop();
    const pid_t target = standin::LaunchApplication({"com.example.editor", "Editor"});
    const pid_t other = standin::LaunchApplication({"com.example.other", "Other"});
    standin::SetRefusesActivation(target, c.refuses);
    if (c.other_frontmost) standin::FocusApplication(other);
    const auto before = standin::FrontmostApplication();

    NSArray* found = NSRunningApplication::runningApplicationsWithBundleIdentifier(
        NSString::stringWithUTF8String("com.example.editor"));
    auto* app = static_cast<NSRunningApplication*>(found->firstObject());
    EXPECT_EQ(app->activateWithOptions(c.options), c.honoured);

    EXPECT_EQ(standin::FrontmostApplication(), c.honoured ? std::optional(target) : before);
    const std::vector<standin::ActivationRequest> expected = {{target, c.options, c.honoured}};
    EXPECT_EQ(standin::ActivationRequests(), expected);
  }
}

}  // namespace
