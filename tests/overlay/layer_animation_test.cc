// Core Animation: animations added under keys (replaced, never stacked, removed by key), the copy a
// layer keeps, and the presentation value of an animated property over time.
#include <Foundation/Foundation.h>
#include <QuartzCore/QuartzCore.h>
#include <gtest/gtest.h>

#include <cmath>

#include "overlay_test_support.h"
#include "standin/objects.h"

namespace {

using overlay_testing::PoolTest;

NSString* Text(const char* text) { return NSString::stringWithUTF8String(text); }

CABasicAnimation* Pulse(double from, double to, bool autoreverses, float repeat_count) {
  CABasicAnimation* animation = CABasicAnimation::animationWithKeyPath(Text("shadowRadius"));
  animation->setFromValue(NSNumber::numberWithDouble(from));
  animation->setToValue(NSNumber::numberWithDouble(to));
  animation->setDuration(1.0);
  animation->setAutoreverses(autoreverses);
  animation->setRepeatCount(repeat_count);
  return animation;
}

std::vector<std::string> Keys(const CALayer* layer) {
  std::vector<std::string> keys;
  if (NSArray* array = layer->animationKeys()) {
    for (NSUInteger i = 0; i < array->count(); ++i) {
      keys.emplace_back(static_cast<NSString*>(array->objectAtIndex(i))->view());
    }
  }
  return keys;
}

using LayerAnimationTest = PoolTest;

TEST_F(LayerAnimationTest, AKeyHoldsOneAnimationTheLatestAdded) {
  CALayer* layer = CALayer::layer();
  layer->addAnimation(Pulse(0, 1, false, 1), Text("a"));
  layer->addAnimation(Pulse(0, 1, false, 1), Text("b"));
  // Kept alive here so that its replacement cannot take its address.
  CAAnimation* first_a = NSRetain(layer->animationForKey(Text("a")));
  layer->addAnimation(Pulse(5, 6, false, 1), Text("a"));
  EXPECT_EQ(Keys(layer), (std::vector<std::string>{"b", "a"}));
  CAAnimation* second_a = layer->animationForKey(Text("a"));
  EXPECT_NE(second_a, first_a);
  EXPECT_EQ(first_a->retainCount(), 1u) << "the layer let go of the replaced animation";
  first_a->release();
  EXPECT_DOUBLE_EQ(
      static_cast<NSNumber*>(static_cast<CABasicAnimation*>(second_a)->fromValue())->doubleValue(),
      5);

  layer->removeAnimationForKey(Text("a"));
  layer->removeAnimationForKey(Text("a"));  // nothing left under it: does nothing
  layer->removeAnimationForKey(Text("never used"));
  EXPECT_EQ(Keys(layer), (std::vector<std::string>{"b"}));
  EXPECT_EQ(layer->animationForKey(Text("a")), nullptr);
}

TEST_F(LayerAnimationTest, TheLayerKeepsACopyStartedWhenAdded) {
  CALayer* layer = CALayer::layer();
  CABasicAnimation* mine = Pulse(0, 1, false, 1);
  const CFTimeInterval before = CACurrentMediaTime();
  layer->addAnimation(mine, Text("k"));
  const CFTimeInterval after = CACurrentMediaTime();
  mine->setDuration(99);
  CAAnimation* kept = layer->animationForKey(Text("k"));
  ASSERT_NE(kept, nullptr);
  EXPECT_NE(kept, mine);
  EXPECT_DOUBLE_EQ(kept->duration(), 1.0);
  EXPECT_EQ(mine->beginTime(), 0);
  EXPECT_GE(kept->beginTime(), before);
  EXPECT_LE(kept->beginTime(), after);
}

TEST_F(LayerAnimationTest, PresentationValueFollowsTheAnimationThenTheModelValue) {
  CAShapeLayer* layer = CAShapeLayer::layer();
  layer->setShadowRadius(4);
  CABasicAnimation* pulse = Pulse(2, 9, true, HUGE_VALF);
  pulse->setTimingFunction(
      CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionEaseInEaseOut));
  layer->addAnimation(pulse, Text("pulse"));
  const CFTimeInterval t0 = layer->animationForKey(Text("pulse"))->beginTime();
  struct Case {
    double at;
    double radius;
  };
  const Case cases[] = {
      {-0.5, 4},     // before it begins: the model value
      {0.0, 2},      // from
      {0.5, 5.5},    // the ease-in-out curve is symmetric: half way at half time
      {1.0, 9},      // to
      {1.5, 5.5},    // on the way back
      {2.0, 2},      // one full cycle
      {1000.5, 5.5}  // it repeats forever
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(layer->presentationValueForKeyPath("shadowRadius", t0 + c.at).value(), c.radius,
                1e-6)
        << "at " << c.at << " s";
  }
  // Easing: a quarter of the way in time is less than a quarter of the way in value.
  EXPECT_LT(layer->presentationValueForKeyPath("shadowRadius", t0 + 0.25).value(), 2 + 7 * 0.25);
  EXPECT_DOUBLE_EQ(layer->presentationValueForKeyPath("shadowOpacity", t0 + 0.5).value(), 0.0);
  EXPECT_FALSE(layer->presentationValueForKeyPath("bounds", t0).has_value());
}

TEST_F(LayerAnimationTest, AFiniteAnimationEndsAndTheModelValueShowsAgain) {
  CALayer* layer = CALayer::layer();
  layer->setShadowRadius(4);
  layer->addAnimation(Pulse(2, 9, false, 2), Text("twice"));
  const CFTimeInterval t0 = layer->animationForKey(Text("twice"))->beginTime();
  EXPECT_NEAR(layer->presentationValueForKeyPath("shadowRadius", t0 + 1.5).value(), 5.5, 1e-9);
  EXPECT_DOUBLE_EQ(layer->presentationValueForKeyPath("shadowRadius", t0 + 2.0).value(), 4);
}

TEST_F(LayerAnimationTest, TimingFunctionsByName) {
  CAMediaTimingFunction* ease =
      CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionEaseInEaseOut);
  ASSERT_NE(ease, nullptr);
  float point[2] = {};
  ease->getControlPointAtIndex(1, point);
  EXPECT_FLOAT_EQ(point[0], 0.42f);
  EXPECT_FLOAT_EQ(point[1], 0.0f);
  ease->getControlPointAtIndex(2, point);
  EXPECT_FLOAT_EQ(point[0], 0.58f);
  EXPECT_FLOAT_EQ(point[1], 1.0f);
  EXPECT_EQ(CAMediaTimingFunction::functionWithName(Text("bouncy")), nullptr);
}

TEST(LayerLifetimeTest, ALayerReleasesItsSublayersAnimationsAndColours) {
  const long before = standin::LiveObjectCount();
  void* pool = objc_autoreleasePoolPush();
  CALayer* parent = CALayer::layer();
  CAShapeLayer* child = CAShapeLayer::layer();
  parent->addSublayer(child);
  CGColorRef color = CGColorCreateSRGB(1, 0, 0, 1);
  child->setShadowColor(color);
  CGColorRelease(color);
  child->addAnimation(Pulse(0, 1, true, HUGE_VALF), Text("k"));
  objc_autoreleasePoolPop(pool);
  EXPECT_EQ(standin::LiveObjectCount(), before);
}

}  // namespace
