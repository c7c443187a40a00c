// RecordingOverlayServiceImpl through the library's exported entry points, after AppMain: Show and
// Hide answer at once and queue their window work, which the test's main thread then runs by
// draining the main queue (or running its run loop while another thread calls).
#include <AppKit/AppKit.h>
#include <dispatch/dispatch.h>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "overlay_test_support.h"
#include "recording_overlay.pb.h"
#include "rpc/host_boundary.h"
#include "services/recording_overlay_panel.h"
#include "services/recording_overlay_view.h"
#include "standin/desktop.h"
#include "standin/main_queue.h"
#include "standin/screens.h"
#include "standin/windows.h"
#include "support/answer_log.h"

namespace {

using kz::testing::Answer;
using kz::testing::InvokeOnce;
using overlay_testing::PoolTest;

constexpr char kListening[] = "Listening\xE2\x80\xA6";
constexpr char kTranscribing[] = "Transcribing\xE2\x80\xA6";

std::string PhaseRequest(const std::string& phase) {
  RecordingOverlayPhase request;
  request.set_phase(phase);
  return request.SerializeAsString();
}

class OverlayServiceTest : public PoolTest {
 protected:
  void SetUp() override {
    PoolTest::SetUp();
    AppMain();
  }

  // Calls Show and checks the answer: an empty reply.
  void Show(const std::string& phase) {
    Answer answer = InvokeOnce(next_id_++, "RecordingOverlayService", "Show", PhaseRequest(phase));
    EXPECT_TRUE(answer.replied) << answer.payload;
    EXPECT_EQ(answer.payload, "");
  }

  void Hide() {
    Answer answer = InvokeOnce(next_id_++, "RecordingOverlayService", "Hide", "");
    EXPECT_TRUE(answer.replied) << answer.payload;
    EXPECT_EQ(answer.payload, "");
  }

  uint64_t next_id_ = 1;
};

// The indicator's panel, when it has been created.
RecordingOverlayPanel* Panel() {
  for (NSWindow* window : standin::AllWindows()) {
    if (auto* panel = dynamic_cast<RecordingOverlayPanel*>(window)) return panel;
  }
  return nullptr;
}

std::string Caption(NSWindow* window) {
  auto* view = dynamic_cast<RecordingOverlayView*>(window->contentView());
  if (view == nullptr) return "<no indicator view>";
  auto* label = static_cast<NSTextField*>(view->subviews()->firstObject());
  return std::string(label->stringValue()->view());
}

std::vector<std::string> PulseKeys(NSWindow* window) {
  auto* dot = static_cast<CALayer*>(window->contentView()->layer()->sublayers()->firstObject());
  std::vector<std::string> keys;
  if (NSArray* array = dot->animationKeys()) {
    for (NSUInteger i = 0; i < array->count(); ++i) {
      keys.emplace_back(static_cast<NSString*>(array->objectAtIndex(i))->view());
    }
  }
  return keys;
}

TEST_F(OverlayServiceTest, ShowAnswersBeforeItsTaskPutsThePanelOnScreen) {
  overlay_testing::ArrangeLaptopScreen();
  Show("listening");
  EXPECT_EQ(Panel(), nullptr) << "nothing runs before the main thread drains the queue";
  EXPECT_TRUE(standin::OnScreenWindows().empty());
  EXPECT_EQ(standin::PendingMainQueueTasks(), 1u);

  EXPECT_EQ(standin::DrainMainQueue(), 1u);
  RecordingOverlayPanel* panel = Panel();
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(standin::OnScreenWindows(), std::vector<NSWindow*>{panel});
  EXPECT_EQ(Caption(panel), kListening);
  EXPECT_EQ(PulseKeys(panel), (std::vector<std::string>{"pulse-opacity", "pulse-radius"}));

  Show("processing");
  EXPECT_EQ(Caption(panel), kListening);
  standin::DrainMainQueue();
  EXPECT_EQ(Caption(panel), kTranscribing);
  EXPECT_EQ(PulseKeys(panel), std::vector<std::string>{});

  Hide();
  EXPECT_TRUE(panel->isVisible()) << "Hide's task has not run yet";
  standin::DrainMainQueue();
  EXPECT_FALSE(panel->isVisible());
  EXPECT_TRUE(standin::OnScreenWindows().empty());
}

TEST_F(OverlayServiceTest, PanelIsAClickThroughFloatingClearPanel) {
  overlay_testing::ArrangeLaptopScreen();
  Show("listening");
  standin::DrainMainQueue();
  RecordingOverlayPanel* panel = Panel();
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->creation().style_mask, 0x80u);
  EXPECT_EQ(panel->creation().backing, 2u);
  EXPECT_FALSE(panel->creation().defer);
  EXPECT_EQ(panel->styleMask(), NSWindowStyleMaskNonactivatingPanel);
  EXPECT_EQ(panel->level(), 3);
  EXPECT_EQ(panel->collectionBehavior(), 0x51u);
  EXPECT_FALSE(panel->isOpaque());
  EXPECT_FALSE(panel->hasShadow());
  EXPECT_TRUE(panel->ignoresMouseEvents());
  CGFloat r = 1, g = 1, b = 1, a = 1;
  panel->backgroundColor()->getRed(&r, &g, &b, &a);
  EXPECT_EQ(a, 0) << "clear background";
  ASSERT_NE(dynamic_cast<RecordingOverlayView*>(panel->contentView()), nullptr);
  EXPECT_EQ(panel->contentView()->frame(), CGRectMake(0, 0, 148, 36));
}

TEST_F(OverlayServiceTest, HideBeforeAnyShowChangesNothing) {
  overlay_testing::ArrangeLaptopScreen();
  Hide();
  EXPECT_EQ(standin::DrainMainQueue(), 1u);
  EXPECT_TRUE(standin::AllWindows().empty());
  EXPECT_TRUE(standin::OnScreenWindows().empty());
}

TEST_F(OverlayServiceTest, ShowTwiceKeepsOnePanelAndOrdersItFrontAgain) {
  overlay_testing::ArrangeLaptopScreen();
  Show("listening");
  Show("processing");
  EXPECT_EQ(standin::DrainMainQueue(), 2u);
  EXPECT_EQ(standin::AllWindows().size(), 1u);
  RecordingOverlayPanel* panel = Panel();
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(Caption(panel), kTranscribing);

  // Another window ordered front above it at the same level; Show brings the panel back in front.
  auto* other = NSAutorelease(new NSWindow());
  other->initWithContentRect(CGRectMake(0, 0, 50, 50), NSWindowStyleMaskBorderless,
                             NSBackingStoreBuffered, NO, nullptr);
  other->setLevel(NSFloatingWindowLevel);
  other->orderFrontRegardless();
  EXPECT_EQ(standin::OnScreenWindows().front(), other);
  Show("listening");
  standin::DrainMainQueue();
  EXPECT_EQ(standin::OnScreenWindows(), (std::vector<NSWindow*>{panel, other}));
  EXPECT_EQ(standin::AllWindows().size(), 2u);
  other->orderOut(nullptr);
}

TEST_F(OverlayServiceTest, ShowHideShowBringsBackTheSamePanelWhereItWas) {
  overlay_testing::ArrangeLaptopScreen();
  Show("listening");
  standin::DrainMainQueue();
  RecordingOverlayPanel* panel = Panel();
  ASSERT_NE(panel, nullptr);
  NSView* view = panel->contentView();
  const CGRect frame = panel->frame();

  Hide();
  standin::DrainMainQueue();
  // The screens change while it is hidden; the indicator keeps its place.
  standin::ArrangeScreens({standin::ScreenWithBars(CGRectMake(0, 0, 2560, 1440), 24, 0)});
  Show("processing");
  standin::DrainMainQueue();
  EXPECT_EQ(Panel(), panel);
  EXPECT_EQ(panel->contentView(), view);
  EXPECT_EQ(panel->frame(), frame);
  EXPECT_TRUE(panel->isVisible());
  EXPECT_EQ(Caption(panel), kTranscribing);
}

TEST_F(OverlayServiceTest, ShowingNeverTakesTheKeyboardFromTheFrontmostApplication) {
  overlay_testing::ArrangeLaptopScreen();
  const pid_t editor = standin::LaunchApplication({"com.example.editor", "Editor"});
  standin::FocusApplication(editor);
  Show("listening");
  Show("processing");
  standin::DrainMainQueue();
  ASSERT_NE(Panel(), nullptr);
  EXPECT_TRUE(Panel()->isVisible());
  EXPECT_EQ(standin::KeyWindow(), nullptr);
  EXPECT_EQ(standin::MainWindow(), nullptr);
  EXPECT_EQ(standin::FrontmostApplication(), editor);
}

TEST_F(OverlayServiceTest, TheTaskKeepsItsOwnCopyOfThePhase) {
  overlay_testing::ArrangeLaptopScreen();
  auto request = std::make_unique<std::string>(PhaseRequest("processing"));
  Answer answer = InvokeOnce(1, "RecordingOverlayService", "Show", *request);
  EXPECT_TRUE(answer.replied);
  // The request's bytes and the decoded message are gone before the task runs.
  request->assign(request->size(), 'x');
  request.reset();
  standin::DrainMainQueue();
  ASSERT_NE(Panel(), nullptr);
  EXPECT_EQ(Caption(Panel()), kTranscribing);
}

TEST_F(OverlayServiceTest, APhaseWithANulByteIsNotProcessing) {
  overlay_testing::ArrangeLaptopScreen();
  Show(std::string("processing\0x", 12));
  standin::DrainMainQueue();
  ASSERT_NE(Panel(), nullptr);
  EXPECT_EQ(Caption(Panel()), kListening);
  EXPECT_EQ(PulseKeys(Panel()).size(), 2u);
}

TEST_F(OverlayServiceTest, CallsFromAnotherThreadTakeEffectOnTheMainThreadInOrder) {
  overlay_testing::ArrangeLaptopScreen();
  std::thread caller([&] {
    uint64_t id = 100;
    auto call = [&](const char* method, const std::string& payload) {
      Answer answer = InvokeOnce(id++, "RecordingOverlayService", method, payload);
      EXPECT_TRUE(answer.replied);
    };
    call("Show", PhaseRequest("listening"));
    call("Hide", "");
    call("Show", PhaseRequest("processing"));
    call("Hide", "");
    call("Show", PhaseRequest("processing"));
    dispatch_async(dispatch_get_main_queue(), [] { standin::StopMainRunLoop(); });
  });
  EXPECT_TRUE(standin::RunMainRunLoop(std::chrono::seconds(10)));
  caller.join();
  RecordingOverlayPanel* panel = Panel();
  ASSERT_NE(panel, nullptr);
  EXPECT_TRUE(panel->isVisible());
  EXPECT_EQ(Caption(panel), kTranscribing);
  EXPECT_EQ(standin::AllWindows().size(), 1u);
}

// Placement, decided when the panel is created. One process per case: the panel is created once.
struct Placement {
  const char* label;
  std::vector<standin::ScreenSpec> screens;
  std::optional<size_t> main_screen;
  CGRect content_rect;
  std::optional<size_t> screen_passed;  // index into `screens`; nullopt: none
};

void PrintTo(const Placement& placement, std::ostream* out) { *out << placement.label; }

class OverlayPlacementTest : public OverlayServiceTest,
                             public ::testing::WithParamInterface<Placement> {};

TEST_P(OverlayPlacementTest, PanelSitsAtTheBottomCentreOfTheChosenScreen) {
  const Placement& p = GetParam();
  standin::ArrangeScreens(p.screens, p.main_screen);
  Show("listening");
  standin::DrainMainQueue();
  RecordingOverlayPanel* panel = Panel();
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->creation().content_rect, p.content_rect);
  EXPECT_EQ(panel->frame(), p.content_rect);
  NSScreen* expected = nullptr;
  if (p.screen_passed)
    expected = static_cast<NSScreen*>(NSScreen::screens()->objectAtIndex(*p.screen_passed));
  EXPECT_EQ(panel->creation().screen, expected);
}

const CGRect kLaptop = CGRectMake(0, 0, 1440, 900);
const CGRect kMonitor = CGRectMake(1440, -200, 2560, 1440);
const CGRect kLeftMonitor = CGRectMake(-1920, 100, 1920, 1080);

const Placement kPlacements[] = {
    {"Laptop", {standin::ScreenWithBars(kLaptop, 24, 70)}, 0, CGRectMake(646, 90, 148, 36), 0},
    {"NoDock", {standin::ScreenWithBars(kLaptop, 24, 0)}, 0, CGRectMake(646, 20, 148, 36), 0},
    // x from the full frame, y from the visible one.
    {"DockOnTheLeft",
     {{kLaptop, CGRectMake(80, 0, 1360, 876)}},
     0,
     CGRectMake(646, 20, 148, 36),
     0},
    {"MainScreenIsTheSecondOffsetBelow",
     {standin::ScreenWithBars(kLaptop, 24, 70), standin::ScreenWithBars(kMonitor, 25, 60)},
     1,
     CGRectMake(1440 + 1280 - 74, -200 + 60 + 20, 148, 36),
     1},
    {"NoMainScreenTakesTheFirst",
     {standin::ScreenWithBars(kLeftMonitor, 24, 50), standin::ScreenWithBars(kLaptop, 24, 70)},
     std::nullopt,
     CGRectMake(-1920 + 960 - 74, 100 + 50 + 20, 148, 36),
     0},
    {"NoScreenAtAll", {}, std::nullopt, CGRectMake(646, 20, 148, 36), std::nullopt},
};

std::string PlacementName(const ::testing::TestParamInfo<Placement>& param) {
  return param.param.label;
}

INSTANTIATE_TEST_SUITE_P(Screens, OverlayPlacementTest, ::testing::ValuesIn(kPlacements),
                         PlacementName);

}  // namespace
