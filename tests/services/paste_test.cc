// AutomationService.Paste through `invoke`: the keystroke it posts, what the focused application
// makes of it, and its reply.
#include <CoreGraphics/CoreGraphics.h>
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "services/desktop_service_test.h"

namespace kz::testing {
namespace {

std::vector<std::string> DescribedStream() {
  std::vector<std::string> lines;
  for (const standin::InputEvent& event : standin::InputStream()) {
    lines.push_back(standin::Describe(event));
  }
  return lines;
}

using PasteTest = DesktopServiceTest;

TEST_F(PasteTest, PostsCommandVDownThenUpWithCommandAloneWhateverIsHeld) {
  struct Case {
    const char* label;
    CGEventFlags held;
    std::string request;
  };
  const Case cases[] = {
      {"nothing held", 0, ""},
      {"Shift held", kCGEventFlagMaskShift, ""},
      {"Option held", kCGEventFlagMaskAlternate, ""},
      {"Control held", kCGEventFlagMaskControl, ""},
      {"Caps Lock on", kCGEventFlagMaskAlphaShift, ""},
      {"every modifier held",
       kCGEventFlagMaskAlphaShift | kCGEventFlagMaskShift | kCGEventFlagMaskControl |
           kCGEventFlagMaskAlternate | kCGEventFlagMaskCommand,
       ""},
      {"request with an unknown field", kCGEventFlagMaskShift, std::string("\x08\x01", 2)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    standin::ResetDesktop();
    standin::HoldModifierKeys(c.held);

    Answer answer = Call("AutomationService", "Paste", c.request);
    EXPECT_TRUE(answer.replied);
    EXPECT_EQ(answer.payload, "");
    const std::vector<standin::InputEvent> expected = {
        {kCGEventKeyDown, 9, 0x00100000, kCGHIDEventTap, 0},
        {kCGEventKeyUp, 9, 0x00100000, kCGHIDEventTap, 0},
    };
    EXPECT_EQ(standin::InputStream(), expected);
  }
}

// What the desktop looked like when the reply arrived.
struct AtReply {
  size_t events_posted = 0;
  long live_objects = 0;
  size_t reply_bytes = 99;
};
AtReply at_reply;

void RecordDesktopAtReply(uint64_t /*id*/, const char* /*data*/, size_t len) {
  at_reply = {standin::InputStream().size(), standin::LiveObjectCount(), len};
}

TEST_F(PasteTest, RepliesOnlyAfterBothEventsArePostedAndReleased) {
  const long live_before = standin::LiveObjectCount();
  ::invoke(1, "AutomationService", "Paste", nullptr, 0, &RecordDesktopAtReply, &AnswerLog::Reject);
  EXPECT_EQ(at_reply.events_posted, 2u);
  EXPECT_EQ(at_reply.live_objects, live_before);
  EXPECT_EQ(at_reply.reply_bytes, 0u);
  EXPECT_EQ(AnswerLog::Count(), 0u);  // no rejection
}

TEST_F(PasteTest, FocusedApplicationPastesTheClipboard) {
  const pid_t notes = standin::LaunchApplication({"com.example.notes", "Notes"});
  const pid_t mail = standin::LaunchApplication({"com.example.mail", "Mail"});
  standin::FocusApplication(notes);
  standin::SetClipboardText("Hello, Ondrel");
  // A held Shift would turn the shortcut into another one, had it leaked into the events.
  standin::HoldModifierKeys(kCGEventFlagMaskShift);

  Answer answer = Call("AutomationService", "Paste");
  EXPECT_TRUE(answer.replied);
  EXPECT_EQ(answer.payload, "");
  EXPECT_EQ(standin::DocumentText(notes), "Hello, Ondrel");
  EXPECT_EQ(standin::DocumentText(mail), "");
  EXPECT_EQ(standin::ClipboardText(), "Hello, Ondrel");
  EXPECT_EQ(DescribedStream(), (std::vector<std::string>{
                                   "keyDown 9 flags=0x00100000 -> 1001",
                                   "keyUp 9 flags=0x00100000 -> 1001",
                               }));
}

TEST_F(PasteTest, EventThePlatformCannotCreateIsSkippedAndTheCallStillReplies) {
  struct Case {
    const char* label;
    int failures;
    std::vector<std::string> posted;
  };
  const Case cases[] = {
      {"key down not created", 1, {"keyUp 9 flags=0x00100000 -> none"}},
      {"neither created", 2, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    standin::ResetDesktop();
    standin::FailNextEventCreations(c.failures);
    Answer answer = Call("AutomationService", "Paste");
    EXPECT_TRUE(answer.replied);
    EXPECT_EQ(answer.payload, "");
    EXPECT_EQ(DescribedStream(), c.posted);
  }
}

TEST_F(PasteTest, ConcurrentCallsPostOneKeystrokeEach) {
  const pid_t notes = standin::LaunchApplication({"com.example.notes", "Notes"});
  standin::FocusApplication(notes);
  standin::SetClipboardText("x");
  const long live_before = standin::LiveObjectCount();
  constexpr int kThreads = 4;
  constexpr int kCallsPerThread = 25;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t] {
      for (int i = 0; i < kCallsPerThread; ++i) {
        InvokeOnce(1000 * (t + 1) + i, "AutomationService", "Paste", "");
      }
    });
  }
  for (std::thread& thread : threads) thread.join();

  EXPECT_EQ(standin::InputStream().size(), 2u * kThreads * kCallsPerThread);
  EXPECT_EQ(standin::DocumentText(notes), std::string(kThreads * kCallsPerThread, 'x'));
  EXPECT_EQ(standin::LiveObjectCount(), live_before);
}

}  // namespace
}  // namespace kz::testing
