// Keyboard events: what a new event carries, how posting reaches the input stream and the focused
// application, and that an event lives until it is released.
#include <CoreGraphics/CoreGraphics.h>
#include <HIToolbox/Events.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "standin/desktop.h"
#include "standin/objects.h"

namespace {

// Creates, optionally re-flags, posts and releases one event.
void PostKey(CGKeyCode key, bool down, std::optional<CGEventFlags> flags = std::nullopt) {
  CGEventRef event = CGEventCreateKeyboardEvent(nullptr, key, down);
  ASSERT_NE(event, nullptr);
  if (flags) CGEventSetFlags(event, *flags);
  CGEventPost(kCGHIDEventTap, event);
  CFRelease(event);
}

std::vector<std::string> DescribedStream() {
  std::vector<std::string> lines;
  for (const standin::InputEvent& event : standin::InputStream()) {
    lines.push_back(standin::Describe(event));
  }
  return lines;
}

class KeyboardEventTest : public ::testing::Test {
 protected:
  void SetUp() override { standin::ResetDesktop(); }
};

TEST_F(KeyboardEventTest, NewEventCarriesTheHeldModifiersUntilItsFlagsAreSet) {
  standin::HoldModifierKeys(kCGEventFlagMaskShift | kCGEventFlagMaskAlternate);
  PostKey(kVK_ANSI_V, true);
  PostKey(kVK_ANSI_V, false, kCGEventFlagMaskCommand);
  standin::HoldModifierKeys(0);
  PostKey(kVK_ANSI_V, true);

  EXPECT_EQ(DescribedStream(), (std::vector<std::string>{
                                   "keyDown 9 flags=0x000a0000 -> none",
                                   "keyUp 9 flags=0x00100000 -> none",
                                   "keyDown 9 flags=0x00000000 -> none",
                               }));
}

TEST_F(KeyboardEventTest, PostedEventReachesTheFrontmostApplication) {
  const pid_t editor = standin::LaunchApplication({"com.example.editor", "Editor"});
  const pid_t other = standin::LaunchApplication({"com.example.other", "Other"});
  standin::FocusApplication(other);
  PostKey(kVK_ANSI_V, true);
  standin::FocusApplication(editor);
  CGEventRef event = CGEventCreateKeyboardEvent(nullptr, kVK_ANSI_V, false);
  CGEventPost(kCGSessionEventTap, event);
  CFRelease(event);

  const std::vector<standin::InputEvent> expected = {
      {kCGEventKeyDown, kVK_ANSI_V, 0, kCGHIDEventTap, other},
      {kCGEventKeyUp, kVK_ANSI_V, 0, kCGSessionEventTap, editor},
  };
  EXPECT_EQ(standin::InputStream(), expected);
}

TEST_F(KeyboardEventTest, ApplicationPastesOnCommandVKeyDownOnly) {
  struct Case {
    const char* label;
    CGKeyCode key;
    bool down;
    CGEventFlags flags;
    bool pastes;
  };
  const Case cases[] = {
      {"Command-V down", kVK_ANSI_V, true, kCGEventFlagMaskCommand, true},
      {"Command-V with Caps Lock", kVK_ANSI_V, true,
       kCGEventFlagMaskCommand | kCGEventFlagMaskAlphaShift, true},
      {"Command-V up", kVK_ANSI_V, false, kCGEventFlagMaskCommand, false},
      {"plain V", kVK_ANSI_V, true, 0, false},
      {"Command-Shift-V", kVK_ANSI_V, true, kCGEventFlagMaskCommand | kCGEventFlagMaskShift, false},
      {"Command-Option-V", kVK_ANSI_V, true, kCGEventFlagMaskCommand | kCGEventFlagMaskAlternate,
       false},
      {"Command-Control-V", kVK_ANSI_V, true, kCGEventFlagMaskCommand | kCGEventFlagMaskControl,
       false},
      {"Command with another key", 8, true, kCGEventFlagMaskCommand, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    standin::ResetDesktop();
    const pid_t editor = standin::LaunchApplication({"com.example.editor", "Editor"});
    standin::FocusApplication(editor);
    standin::SetClipboardText("clip");
    PostKey(c.key, c.down, c.flags);
    EXPECT_EQ(standin::DocumentText(editor), c.pastes ? "clip" : "");
  }
}

TEST_F(KeyboardEventTest, PasteGoesOnlyToTheFocusedApplicationAndAppends) {
  const pid_t editor = standin::LaunchApplication({"com.example.editor", "Editor"});
  const pid_t other = standin::LaunchApplication({"com.example.other", "Other"});
  standin::FocusApplication(editor);
  standin::SetClipboardText("ab");
  PostKey(kVK_ANSI_V, true, kCGEventFlagMaskCommand);
  standin::SetClipboardText("cd");
  PostKey(kVK_ANSI_V, true, kCGEventFlagMaskCommand);
  EXPECT_EQ(standin::DocumentText(editor), "abcd");
  EXPECT_EQ(standin::DocumentText(other), "");
}

TEST_F(KeyboardEventTest, EventStaysAliveUntilReleased) {
  const long before = standin::LiveObjectCount();
  CGEventRef event = CGEventCreateKeyboardEvent(nullptr, kVK_ANSI_V, true);
  CGEventPost(kCGHIDEventTap, event);
  EXPECT_EQ(standin::LiveObjectCount(), before + 1);
  CFRelease(event);
  EXPECT_EQ(standin::LiveObjectCount(), before);
}

TEST_F(KeyboardEventTest, ArrangedCreationFailuresReturnNullAndNullEventsAreIgnored) {
  standin::FailNextEventCreations(2);
  EXPECT_EQ(CGEventCreateKeyboardEvent(nullptr, kVK_ANSI_V, true), nullptr);
  EXPECT_EQ(CGEventCreateKeyboardEvent(nullptr, kVK_ANSI_V, false), nullptr);
  CGEventSetFlags(nullptr, kCGEventFlagMaskCommand);
  CGEventPost(kCGHIDEventTap, nullptr);
  EXPECT_TRUE(standin::InputStream().empty());

  CGEventRef event = CGEventCreateKeyboardEvent(nullptr, kVK_ANSI_V, true);
  EXPECT_NE(event, nullptr);
  CFRelease(event);
}

TEST_F(KeyboardEventTest, ResetEmptiesTheInputStreamAndReleasesHeldKeys) {
  standin::HoldModifierKeys(kCGEventFlagMaskShift);
  PostKey(kVK_ANSI_V, true);
  standin::ResetDesktop();
  EXPECT_TRUE(standin::InputStream().empty());
  EXPECT_EQ(standin::HeldModifierKeys(), 0u);
}

}  // namespace
