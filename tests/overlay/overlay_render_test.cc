// Pictures of the indicator: after Show with "listening" and with "processing", drawn into PNG
// files and read back pixel by pixel. The pictures stay in <build>/tests/overlay/pictures.
#include <AppKit/AppKit.h>
#include <QuartzCore/QuartzCore.h>
#include <gtest/gtest.h>

#include <string>

#include "overlay_test_support.h"
#include "recording_overlay.pb.h"
#include "rpc/host_boundary.h"
#include "standin/main_queue.h"
#include "standin/screens.h"
#include "standin/screenshot.h"
#include "standin/windows.h"
#include "support/answer_log.h"

namespace {

using overlay_testing::Picture;
using overlay_testing::PicturePath;
using overlay_testing::Pixel;
using overlay_testing::PoolTest;

// The indicator's own rectangle in window pictures: its frame, relative to itself.
constexpr double kWindowScale = 4;

bool IsLight(const Pixel& p) {
  return p.alpha > 200 && p.red > 200 && p.green > 200 && p.blue > 200;
}

class OverlayRenderTest : public PoolTest {
 protected:
  void SetUp() override {
    PoolTest::SetUp();
    overlay_testing::ArrangeLaptopScreen();
    AppMain();
  }

  // Shows the indicator with `phase` and returns its panel.
  NSWindow* ShowIndicator(const std::string& phase) {
    RecordingOverlayPhase request;
    request.set_phase(phase);
    kz::testing::Answer answer = kz::testing::InvokeOnce(next_id_++, "RecordingOverlayService",
                                                         "Show", request.SerializeAsString());
    EXPECT_TRUE(answer.replied);
    standin::DrainMainQueue();
    std::vector<NSWindow*> windows = standin::OnScreenWindows();
    return windows.empty() ? nullptr : windows.front();
  }

  uint64_t next_id_ = 1;

  // The media time the pulse started at; now when there is no pulse.
  static CFTimeInterval PulseStart(NSWindow* panel) {
    auto* dot = static_cast<CALayer*>(panel->contentView()->layer()->sublayers()->firstObject());
    CAAnimation* pulse = dot->animationForKey(NSString::stringWithUTF8String("pulse-radius"));
    return pulse == nullptr ? CACurrentMediaTime() : pulse->beginTime();
  }

  // Draws the panel alone at `time` into `name` and reads it back.
  static std::unique_ptr<Picture> WindowPicture(NSWindow* panel, const std::string& name,
                                                CFTimeInterval time) {
    std::string error;
    standin::RenderOptions options;
    options.scale = kWindowScale;
    options.time = time;
    EXPECT_TRUE(standin::WriteWindowImage(panel, PicturePath(name), options, &error)) << error;
    // Read back in the window's own coordinates.
    return std::make_unique<Picture>(PicturePath(name), CGRectMake(0, 0, 148, 36), kWindowScale);
  }
};

// What every state shares: the translucent dark capsule, clear corners, the red dot, a light
// caption.
void ExpectIndicator(const Picture& picture) {
  ASSERT_TRUE(picture.loaded());
  // Away from the dot, whose glow tints the capsule around it.
  for (CGPoint inside : {CGPoint{74, 4}, CGPoint{140, 18}, CGPoint{100, 31}, CGPoint{74, 32}}) {
    const Pixel p = picture.At(inside);
    EXPECT_NEAR(p.alpha, 230, 2) << p << " at " << inside.x << ", " << inside.y;  // 0.9 opaque
    EXPECT_NEAR(p.red, 28, 2) << p;                                               // 0.11 grey
    EXPECT_NEAR(p.green, 28, 2) << p;
    EXPECT_NEAR(p.blue, 28, 2) << p;
  }
  for (CGPoint corner : {CGPoint{0.2, 0.2}, CGPoint{147.8, 0.2}, CGPoint{0.2, 35.8},
                         CGPoint{147.8, 35.8}, CGPoint{2, 2}, CGPoint{146, 34}}) {
    EXPECT_LE(picture.At(corner).alpha, 2) << "corner " << corner.x << ", " << corner.y;
  }
  const Pixel dot = picture.At(CGPoint{19, 18});
  EXPECT_EQ(dot.alpha, 255) << dot;
  EXPECT_NEAR(dot.red, 255, 2) << dot;
  EXPECT_NEAR(dot.green, 56, 3) << dot;
  EXPECT_NEAR(dot.blue, 56, 3) << dot;
  EXPECT_GT(picture.Count(CGRectMake(32, 10, 102, 16), IsLight), 400) << "the caption";
  EXPECT_EQ(picture.Count(CGRectMake(0, 0, 148, 9), IsLight), 0) << "nothing light below it";
  EXPECT_EQ(picture.Count(CGRectMake(0, 27, 148, 9), IsLight), 0) << "nor above it";
}

TEST_F(OverlayRenderTest, ListeningShowsThePulsingGlowAtItsStateThen) {
  NSWindow* panel = ShowIndicator("listening");
  ASSERT_NE(panel, nullptr);
  const CFTimeInterval start = PulseStart(panel);
  // At the start of a pulse the glow is smallest (radius 2, opacity 0.45); 1.1 s later largest
  // (radius 9, opacity 1).
  std::unique_ptr<Picture> dim = WindowPicture(panel, "indicator-listening-dim.png", start);
  std::unique_ptr<Picture> bright =
      WindowPicture(panel, "indicator-listening-bright.png", start + 1.1);
  ExpectIndicator(*dim);
  ExpectIndicator(*bright);
  // "Listening…" ends well before the caption's right edge.
  EXPECT_EQ(bright->Count(CGRectMake(112, 10, 22, 16), IsLight), 0);

  // Beside the dot the glow reddens the capsule far more at its brightest.
  const CGPoint beside{27, 18};
  const Pixel at_dim = dim->At(beside);
  const Pixel at_bright = bright->At(beside);
  EXPECT_GT(at_bright.red, at_dim.red + 25) << at_dim << " then " << at_bright;
  EXPECT_GT(at_bright.red, at_bright.green + 25) << at_bright;
  EXPECT_LT(at_dim.red, 35) << at_dim;
  // Half a pulse later it is dim again.
  std::unique_ptr<Picture> again =
      WindowPicture(panel, "indicator-listening-dim-again.png", start + 2.2);
  EXPECT_NEAR(again->At(beside).red, at_dim.red, 2);
}

TEST_F(OverlayRenderTest, TranscribingShowsAStillGlow) {
  NSWindow* panel = ShowIndicator("processing");
  ASSERT_NE(panel, nullptr);
  const CFTimeInterval now = CACurrentMediaTime();
  std::unique_ptr<Picture> first = WindowPicture(panel, "indicator-transcribing.png", now);
  std::unique_ptr<Picture> later =
      WindowPicture(panel, "indicator-transcribing-later.png", now + 0.7);
  ExpectIndicator(*first);
  // "Transcribing…" reaches further right than "Listening…".
  EXPECT_GT(first->Count(CGRectMake(112, 10, 22, 16), IsLight), 20);
  // A faint red glow around the dot (opacity 0.5, radius 4), the same at any time.
  const CGPoint beside{25, 18};
  const Pixel glow = first->At(beside);
  EXPECT_GT(glow.red, glow.green + 20) << glow;
  EXPECT_EQ(later->At(beside).red, glow.red);
}

TEST_F(OverlayRenderTest, ScreenshotShowsTheIndicatorOverTheDesktopBottomCentre) {
  std::string error;
  standin::ScreenshotOptions whole;
  ASSERT_TRUE(standin::WriteScreenshot(PicturePath("desktop-before.png"), whole, &error)) << error;
  NSWindow* panel = ShowIndicator("listening");
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->frame(), CGRectMake(646, 90, 148, 36));
  whole.time = PulseStart(panel) + 1.1;
  ASSERT_TRUE(standin::WriteScreenshot(PicturePath("desktop-listening.png"), whole, &error))
      << error;
  // A closer look at the bottom of the screen, sharp.
  standin::ScreenshotOptions close = whole;
  close.region = CGRectMake(520, 0, 400, 160);
  close.scale = 2;
  ASSERT_TRUE(standin::WriteScreenshot(PicturePath("desktop-listening-close.png"), close, &error))
      << error;

  const CGRect screen = CGRectMake(0, 0, 1440, 900);
  Picture before(PicturePath("desktop-before.png"), screen, 1);
  Picture after(PicturePath("desktop-listening.png"), screen, 1);
  ASSERT_TRUE(before.loaded() && after.loaded());
  // Over the capsule: 90 % of the dark grey and 10 % of the wallpaper beneath.
  for (CGPoint point : {CGPoint{646 + 74, 90 + 4}, CGPoint{646 + 140, 90 + 18}}) {
    const Pixel under = before.At(point);
    const Pixel over = after.At(point);
    EXPECT_EQ(over.alpha, 255);
    EXPECT_NEAR(over.red, 0.9 * 28 + 0.1 * under.red, 2) << under << " " << over;
    EXPECT_NEAR(over.green, 0.9 * 28 + 0.1 * under.green, 2) << under << " " << over;
    EXPECT_NEAR(over.blue, 0.9 * 28 + 0.1 * under.blue, 2) << under << " " << over;
  }
  // Outside the capsule's rounded corners the wallpaper shows unchanged.
  for (CGPoint corner : {CGPoint{646.5, 90.5}, CGPoint{793.5, 125.5}}) {
    const Pixel under = before.At(corner);
    const Pixel over = after.At(corner);
    EXPECT_NEAR(over.red, under.red, 1) << corner.x;
    EXPECT_NEAR(over.green, under.green, 1) << corner.x;
    EXPECT_NEAR(over.blue, under.blue, 1) << corner.x;
  }
  const Pixel dot = after.At(CGPoint{646 + 19, 90 + 18});
  EXPECT_GT(dot.red, 240);
  EXPECT_LT(dot.green, 80);
}

TEST_F(OverlayRenderTest, ScreenshotNeedsSomethingToDraw) {
  standin::ArrangeScreens({});
  std::string error;
  EXPECT_FALSE(standin::WriteScreenshot(PicturePath("nothing.png"), {}, &error));
  EXPECT_NE(error, "");
  standin::ScreenshotOptions region;
  region.region = CGRectMake(0, 0, 100, 50);
  EXPECT_TRUE(standin::WriteScreenshot(PicturePath("no-screen-region.png"), region, &error))
      << error;
  EXPECT_FALSE(standin::WriteScreenshot("/nonexistent-directory/x.png", region, &error));
  EXPECT_NE(error.find("/nonexistent-directory/x.png"), std::string::npos) << error;
}

}  // namespace
