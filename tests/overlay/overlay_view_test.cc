// RecordingOverlayView and RecordingOverlayPanel: the capsule, the dot with its glow, the caption,
// and the phase switch with its pulse animations; the panel that never becomes key or main.
#include <AppKit/AppKit.h>
#include <QuartzCore/QuartzCore.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "overlay_test_support.h"
#include "services/recording_overlay_panel.h"
#include "services/recording_overlay_view.h"
#include "standin/drawing.h"

namespace {

using overlay_testing::PoolTest;

constexpr char kListening[] = "Listening\xE2\x80\xA6";
constexpr char kTranscribing[] = "Transcribing\xE2\x80\xA6";

NSString* Text(const char* text) { return NSString::stringWithUTF8String(text); }

class OverlayViewTest : public PoolTest {
 protected:
  void SetUp() override {
    PoolTest::SetUp();
    view_ = NSAutorelease((new RecordingOverlayView())->initWithFrame(CGRectMake(0, 0, 148, 36)));
    ASSERT_NE(view_, nullptr);
    ASSERT_NE(view_->layer(), nullptr);
    NSArray* sublayers = view_->layer()->sublayers();
    ASSERT_NE(sublayers, nullptr);
    dot_ = dynamic_cast<CAShapeLayer*>(static_cast<CALayer*>(sublayers->firstObject()));
    ASSERT_NE(dot_, nullptr) << "the dot is the view layer's first sublayer";
    ASSERT_EQ(view_->subviews()->count(), 1u);
    label_ = dynamic_cast<NSTextField*>(static_cast<NSView*>(view_->subviews()->firstObject()));
    ASSERT_NE(label_, nullptr);
  }

  std::string Caption() const { return std::string(label_->stringValue()->view()); }

  std::vector<std::string> AnimationKeys() const {
    std::vector<std::string> keys;
    if (NSArray* array = dot_->animationKeys()) {
      for (NSUInteger i = 0; i < array->count(); ++i) {
        keys.emplace_back(static_cast<NSString*>(array->objectAtIndex(i))->view());
      }
    }
    return keys;
  }

  CABasicAnimation* Animation(const char* key) const {
    return dynamic_cast<CABasicAnimation*>(dot_->animationForKey(Text(key)));
  }

  RecordingOverlayView* view_ = nullptr;
  CAShapeLayer* dot_ = nullptr;
  NSTextField* label_ = nullptr;
};

void ExpectComponents(CGColorRef color, double red, double green, double blue, double alpha) {
  ASSERT_NE(color, nullptr);
  const CGFloat* c = CGColorGetComponents(color);
  EXPECT_DOUBLE_EQ(c[0], red);
  EXPECT_DOUBLE_EQ(c[1], green);
  EXPECT_DOUBLE_EQ(c[2], blue);
  EXPECT_DOUBLE_EQ(c[3], alpha);
}

TEST_F(OverlayViewTest, CreatedWithTheStillDotAndTheListeningCaption) {
  EXPECT_TRUE(view_->wantsLayer());
  EXPECT_EQ(CGPathGetBoundingBox(dot_->path()), CGRectMake(14, 13, 10, 10));
  EXPECT_TRUE(CGPathContainsPoint(dot_->path(), nullptr, CGPoint{19, 18}, false));
  EXPECT_FALSE(CGPathContainsPoint(dot_->path(), nullptr, CGPoint{14.6, 13.6}, false))
      << "a circle, not a square";
  ExpectComponents(dot_->fillColor(), 1.0, 0.22, 0.22, 1.0);
  ExpectComponents(dot_->shadowColor(), 1.0, 0.22, 0.22, 1.0);
  EXPECT_NE(dot_->shadowColor(), dot_->fillColor()) << "a second colour of the same components";
  EXPECT_DOUBLE_EQ(dot_->shadowRadius(), 4.0);
  EXPECT_FLOAT_EQ(dot_->shadowOpacity(), 0.85f);
  EXPECT_EQ(dot_->shadowOffset(), CGSizeZero);
  EXPECT_EQ(AnimationKeys(), std::vector<std::string>{});

  EXPECT_EQ(Caption(), kListening);
  EXPECT_EQ(label_->font()->pointSize(), 13);
  EXPECT_EQ(label_->font()->weight(), NSFontWeightMedium);
  CGFloat r = 0, g = 0, b = 0, a = 0;
  label_->textColor()->getRed(&r, &g, &b, &a);
  EXPECT_EQ((std::vector<CGFloat>{r, g, b, a}), (std::vector<CGFloat>{1, 1, 1, 1}));
  EXPECT_FALSE(label_->isEditable());
  EXPECT_FALSE(label_->drawsBackground());
  // The fitted height of DejaVu Sans at 13 points is 16, centred in 36.
  EXPECT_EQ(label_->frame(), CGRectMake(32, 10, 102, 16));
}

TEST_F(OverlayViewTest, DrawsTheCapsuleOverItsWholeBounds) {
  const std::vector<standin::DrawingOperation> drawn = standin::RecordDrawing(view_);
  ASSERT_EQ(drawn.size(), 1u);
  const auto* fill = std::get_if<standin::PathFill>(&drawn[0]);
  ASSERT_NE(fill, nullptr);
  EXPECT_EQ(fill->color, (standin::Rgba{0.11, 0.11, 0.11, 0.9}));
  const CGPath* capsule = fill->path.get();
  EXPECT_EQ(CGPathGetBoundingBox(capsule), view_->bounds());
  // Full semicircles at both ends: radius 18 at a height of 36.
  EXPECT_TRUE(CGPathContainsPoint(capsule, nullptr, CGPoint{0.5, 18}, false));
  EXPECT_FALSE(CGPathContainsPoint(capsule, nullptr, CGPoint{2, 2}, false));
  EXPECT_FALSE(CGPathContainsPoint(capsule, nullptr, CGPoint{146, 34}, false));
  EXPECT_TRUE(CGPathContainsPoint(capsule, nullptr, CGPoint{18, 0.5}, false));
}

TEST_F(OverlayViewTest, PhaseChoosesCaptionAndPulse) {
  struct Case {
    const char* phase;  // null: no phase at all
    const char* caption;
    bool pulsing;
  };
  const Case cases[] = {
      {"processing", kTranscribing, false},
      {"Processing", kListening, true},
      {" processing", kListening, true},
      {"processing ", kListening, true},
      {"", kListening, true},
      {"listening", kListening, true},
      {nullptr, kListening, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.phase == nullptr ? "<none>" : c.phase);
    view_->setPhase(c.phase == nullptr ? nullptr : Text(c.phase));
    EXPECT_EQ(Caption(), c.caption);
    if (c.pulsing) {
      EXPECT_EQ(AnimationKeys(), (std::vector<std::string>{"pulse-opacity", "pulse-radius"}));
    } else {
      EXPECT_EQ(AnimationKeys(), std::vector<std::string>{});
      EXPECT_FLOAT_EQ(dot_->shadowOpacity(), 0.5f);
      EXPECT_DOUBLE_EQ(dot_->shadowRadius(), 4.0);
    }
    view_->setPhase(Text("processing"));  // back to a still glow before the next case
  }
}

TEST_F(OverlayViewTest, PulseAnimationsAreExactlyAsDesigned) {
  view_->setPhase(Text("listening"));
  struct Case {
    const char* key;
    const char* key_path;
    double from;
    double to;
  };
  const Case cases[] = {{"pulse-opacity", "shadowOpacity", 0.45, 1.0},
                        {"pulse-radius", "shadowRadius", 2.0, 9.0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    CABasicAnimation* animation = Animation(c.key);
    ASSERT_NE(animation, nullptr);
    EXPECT_EQ(animation->keyPath()->view(), c.key_path);
    auto* from = dynamic_cast<NSNumber*>(animation->fromValue());
    auto* to = dynamic_cast<NSNumber*>(animation->toValue());
    ASSERT_NE(from, nullptr);
    ASSERT_NE(to, nullptr);
    EXPECT_DOUBLE_EQ(from->doubleValue(), c.from);
    EXPECT_DOUBLE_EQ(to->doubleValue(), c.to);
    EXPECT_DOUBLE_EQ(animation->duration(), 1.1);
    EXPECT_TRUE(animation->autoreverses());
    EXPECT_TRUE(std::isinf(animation->repeatCount()) && animation->repeatCount() > 0);
    ASSERT_NE(animation->timingFunction(), nullptr);
    float first[2] = {}, second[2] = {};
    animation->timingFunction()->getControlPointAtIndex(1, first);
    animation->timingFunction()->getControlPointAtIndex(2, second);
    EXPECT_EQ((std::vector<float>{first[0], first[1], second[0], second[1]}),
              (std::vector<float>{0.42f, 0.0f, 0.58f, 1.0f}))
        << "ease in and out";
  }
  // Added together, the two run in step; the layer's own values are untouched.
  EXPECT_NEAR(Animation("pulse-opacity")->beginTime(), Animation("pulse-radius")->beginTime(),
              0.05);
  EXPECT_FLOAT_EQ(dot_->shadowOpacity(), 0.85f);
  EXPECT_DOUBLE_EQ(dot_->shadowRadius(), 4.0);
  const CFTimeInterval radius_start = Animation("pulse-radius")->beginTime();
  const CFTimeInterval opacity_start = Animation("pulse-opacity")->beginTime();
  EXPECT_NEAR(dot_->presentationValueForKeyPath("shadowRadius", radius_start + 1.1).value(), 9.0,
              1e-9);
  EXPECT_NEAR(dot_->presentationValueForKeyPath("shadowOpacity", opacity_start + 2.2).value(), 0.45,
              1e-9);
}

TEST_F(OverlayViewTest, ProcessingBeforeAnyListeningStillSetsTheStillGlow) {
  view_->setPhase(Text("processing"));
  EXPECT_EQ(Caption(), kTranscribing);
  EXPECT_EQ(AnimationKeys(), std::vector<std::string>{});
  EXPECT_FLOAT_EQ(dot_->shadowOpacity(), 0.5f);
  EXPECT_DOUBLE_EQ(dot_->shadowRadius(), 4.0);
}

TEST_F(OverlayViewTest, ListeningTwiceRestartsTheTwoAnimationsWithoutStacking) {
  view_->setPhase(Text("listening"));
  // Kept alive here so that the new animations cannot take their addresses.
  CAAnimation* first_opacity = NSRetain<CAAnimation>(Animation("pulse-opacity"));
  CAAnimation* first_radius = NSRetain<CAAnimation>(Animation("pulse-radius"));
  view_->setPhase(Text("listening"));
  EXPECT_EQ(AnimationKeys(), (std::vector<std::string>{"pulse-opacity", "pulse-radius"}));
  EXPECT_NE(Animation("pulse-opacity"), first_opacity);
  EXPECT_NE(Animation("pulse-radius"), first_radius);
  EXPECT_GE(Animation("pulse-opacity")->beginTime(), first_opacity->beginTime());
  EXPECT_GE(Animation("pulse-radius")->beginTime(), first_radius->beginTime());
  first_opacity->release();
  first_radius->release();
}

TEST_F(OverlayViewTest, ProcessingAfterListeningStopsThePulseAndShowsTheStillGlow) {
  view_->setPhase(Text("listening"));
  view_->setPhase(Text("processing"));
  EXPECT_EQ(AnimationKeys(), std::vector<std::string>{});
  EXPECT_FLOAT_EQ(dot_->shadowOpacity(), 0.5f);
  EXPECT_DOUBLE_EQ(dot_->shadowRadius(), 4.0);
  // Listening again leaves the still glow's values beneath the pulse.
  view_->setPhase(Text("listening"));
  EXPECT_FLOAT_EQ(dot_->shadowOpacity(), 0.5f);
  EXPECT_EQ(AnimationKeys().size(), 2u);
}

TEST_F(OverlayViewTest, TheCaptionKeepsItsFrameWhenItsTextChanges) {
  const CGRect fitted = label_->frame();
  view_->setPhase(Text("processing"));
  EXPECT_EQ(Caption(), kTranscribing);
  EXPECT_EQ(label_->frame(), fitted);
  view_->setPhase(Text("listening"));
  EXPECT_EQ(label_->frame(), fitted);
  EXPECT_EQ(label_->frame().origin.x, 32);
  EXPECT_EQ(label_->frame().size.width, 102);
}

TEST_F(OverlayViewTest, TheCaptionLiesAboveTheDotInTheLayerTree) {
  NSArray* sublayers = view_->layer()->sublayers();
  ASSERT_EQ(sublayers->count(), 2u);
  EXPECT_EQ(sublayers->objectAtIndex(0), dot_);
  EXPECT_EQ(sublayers->objectAtIndex(1), label_->layer());
}

using OverlayPanelTest = PoolTest;

TEST_F(OverlayPanelTest, NeverBecomesKeyOrMainWhateverItsStyle) {
  const NSWindowStyleMask styles[] = {
      NSWindowStyleMaskNonactivatingPanel, NSWindowStyleMaskBorderless,
      NSWindowStyleMaskTitled | NSWindowStyleMaskResizable,
      NSWindowStyleMaskTitled | NSWindowStyleMaskNonactivatingPanel};
  for (NSWindowStyleMask style : styles) {
    auto* panel = NSAutorelease(static_cast<RecordingOverlayPanel*>(
        (new RecordingOverlayPanel())
            ->initWithContentRect(CGRectMake(0, 0, 148, 36), style, NSBackingStoreBuffered, NO,
                                  nullptr)));
    EXPECT_FALSE(panel->canBecomeKeyWindow()) << "style " << style;
    EXPECT_FALSE(panel->canBecomeMainWindow()) << "style " << style;
    panel->orderFrontRegardless();
    EXPECT_FALSE(panel->isKeyWindow()) << "style " << style;
    EXPECT_FALSE(panel->isMainWindow()) << "style " << style;
    panel->orderOut(nullptr);
  }
}

}  // namespace
