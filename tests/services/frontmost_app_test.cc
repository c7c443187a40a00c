// FrontmostAppService through `invoke`: snapshots of the frontmost application, and restoring one
// by bundle identifier and process identifier.
#include <AppKit/NSRunningApplication.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "frontmost_app.pb.h"
#include "services/desktop_service_test.h"

namespace kz::testing {
namespace {

AppSnapshot Snapshot(std::string bundle_id, std::string app_name, int32_t process_id) {
  AppSnapshot snapshot;
  snapshot.set_bundle_id(std::move(bundle_id));
  snapshot.set_app_name(std::move(app_name));
  snapshot.set_process_id(process_id);
  return snapshot;
}

class FrontmostAppTest : public DesktopServiceTest {
 protected:
  AppSnapshot TakeSnapshot() {
    Answer answer = Call("FrontmostAppService", "SnapshotFrontmostApp");
    EXPECT_TRUE(answer.replied) << answer.payload;
    AppSnapshot snapshot;
    EXPECT_TRUE(snapshot.ParseFromString(answer.payload));
    return snapshot;
  }

  RestoreResult Restore(const AppSnapshot& request) {
    Answer answer = Call("FrontmostAppService", "RestoreFrontmostApp", request.SerializeAsString());
    EXPECT_TRUE(answer.replied) << answer.payload;
    RestoreResult result;
    EXPECT_TRUE(result.ParseFromString(answer.payload));
    return result;
  }
};

TEST_F(FrontmostAppTest, SnapshotOfTheFrontmostApplication) {
  struct Case {
    const char* label;
    std::optional<standin::ApplicationSpec> frontmost;
    const char* bundle_id;
    const char* app_name;
  };
  const Case cases[] = {
      {"no frontmost application", std::nullopt, "", ""},
      {"ordinary application", standin::ApplicationSpec{"com.example.notes", "Notes"},
       "com.example.notes", "Notes"},
      {"no bundle identifier", standin::ApplicationSpec{std::nullopt, "helper-tool"}, "",
       "helper-tool"},
      {"no name", standin::ApplicationSpec{"com.example.agent", std::nullopt}, "com.example.agent",
       ""},
      {"neither", standin::ApplicationSpec{}, "", ""},
      {"name beyond ASCII", standin::ApplicationSpec{"jp.example.memo", "メモ帳 ✎"},
       "jp.example.memo", "メモ帳 ✎"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    standin::ResetDesktop();
    standin::LaunchApplication({"com.example.background", "Background"});
    int32_t process_id = 0;
    if (c.frontmost) {
      process_id = standin::LaunchApplication(*c.frontmost);
      standin::FocusApplication(process_id);
    }
    const AppSnapshot snapshot = TakeSnapshot();
    EXPECT_EQ(snapshot.bundle_id(), c.bundle_id);
    EXPECT_EQ(snapshot.app_name(), c.app_name);
    EXPECT_EQ(snapshot.process_id(), process_id);
  }
}

// The desktop every restore case starts from, in launch order (process identifiers are handed out
// from 1001 on), with Mail frontmost.
constexpr pid_t kFirstEditor = 1001;
constexpr pid_t kMail = 1002;
constexpr pid_t kNoIdentifier = 1003;
constexpr pid_t kSecondEditor = 1004;
constexpr char kEditor[] = "com.example.editor";

class RestoreTest : public FrontmostAppTest {
 protected:
  void SetUp() override {
    FrontmostAppTest::SetUp();
    ASSERT_EQ(standin::LaunchApplication({kEditor, "Editor"}), kFirstEditor);
    ASSERT_EQ(standin::LaunchApplication({"com.example.mail", "Mail"}), kMail);
    ASSERT_EQ(standin::LaunchApplication({std::nullopt, "helper-tool"}), kNoIdentifier);
    ASSERT_EQ(standin::LaunchApplication({kEditor, "Editor"}), kSecondEditor);
    standin::FocusApplication(kMail);
  }
};

TEST_F(RestoreTest, ActivatesTheInstanceWithTheProcessIdentifierElseTheFirst) {
  struct Case {
    const char* label;
    int32_t process_id;
    const char* app_name;
    pid_t refusing;  // 0: every application comes forward when asked
    pid_t activated;
  };
  const Case cases[] = {
      {"second instance by its process identifier", kSecondEditor, "Editor", 0, kSecondEditor},
      {"first instance by its process identifier", kFirstEditor, "Editor", 0, kFirstEditor},
      {"process identifier no instance has", 4242, "Editor", 0, kFirstEditor},
      {"process identifier of another application", kMail, "Editor", 0, kFirstEditor},
      {"different name", kSecondEditor, "Some other name", 0, kSecondEditor},
      {"application that refuses to come forward", kSecondEditor, "Editor", kSecondEditor,
       kSecondEditor},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    standin::FocusApplication(kMail);
    standin::SetRefusesActivation(c.refusing, true);
    const std::vector<standin::ActivationRequest> before = standin::ActivationRequests();

    const RestoreResult result = Restore(Snapshot(kEditor, c.app_name, c.process_id));
    EXPECT_TRUE(result.success());
    EXPECT_EQ(result.error(), "");

    const bool honoured = c.activated != c.refusing;
    std::vector<standin::ActivationRequest> expected = before;
    expected.push_back({c.activated, NSApplicationActivateIgnoringOtherApps, honoured});
    EXPECT_EQ(standin::ActivationRequests(), expected);
    EXPECT_EQ(standin::FrontmostApplication(), honoured ? c.activated : kMail);
    standin::SetRefusesActivation(c.refusing, false);
  }
}

TEST_F(RestoreTest, ReportsAnIdentifierNothingRunsUnderInTheReply) {
  const std::string with_nul("com.example.editor\0x", 20);
  struct Case {
    const char* label;
    std::string bundle_id;
    std::string error;
  };
  const Case cases[] = {
      {"nothing running with it", "com.example.gone",
       "No running application with bundle ID: com.example.gone"},
      {"another case", "com.example.EDITOR",
       "No running application with bundle ID: com.example.EDITOR"},
      {"empty", "", "No running application with bundle ID: "},
      {"taken as received", "a \"b\" ü%s\\n",
       "No running application with bundle ID: a \"b\" ü%s\\n"},
      // Cut short at the NUL, it would name the editor.
      {"with a NUL byte", with_nul, "No running application with bundle ID: " + with_nul},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const RestoreResult result = Restore(Snapshot(c.bundle_id, "Editor", kFirstEditor));
    EXPECT_FALSE(result.success());
    EXPECT_EQ(result.error(), c.error);
  }
  EXPECT_TRUE(standin::ActivationRequests().empty());
  EXPECT_EQ(standin::FrontmostApplication(), kMail);
}

TEST_F(FrontmostAppTest, SnapshotThenRestoreBringsTheApplicationBack) {
  const pid_t notes = standin::LaunchApplication({"com.example.notes", "Notes"});
  const pid_t mail = standin::LaunchApplication({"com.example.mail", "Mail"});
  standin::FocusApplication(notes);
  const AppSnapshot remembered = TakeSnapshot();

  standin::FocusApplication(mail);
  const RestoreResult result = Restore(remembered);
  EXPECT_TRUE(result.success());
  EXPECT_EQ(result.error(), "");
  EXPECT_EQ(standin::FrontmostApplication(), notes);

  // Quit and started again: the new instance comes forward under its new process identifier.
  standin::QuitApplication(notes);
  const pid_t notes_again = standin::LaunchApplication({"com.example.notes", "Notes"});
  standin::FocusApplication(mail);
  EXPECT_TRUE(Restore(remembered).success());
  EXPECT_EQ(standin::FrontmostApplication(), notes_again);
}

}  // namespace
}  // namespace kz::testing
