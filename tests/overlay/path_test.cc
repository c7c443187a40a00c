// Core Graphics paths: the ellipse and rounded-rectangle shapes, and reference counting shared with
// the objects that keep a path.
#include <AppKit/AppKit.h>
#include <CoreGraphics/CoreGraphics.h>
#include <QuartzCore/QuartzCore.h>
#include <gtest/gtest.h>

#include "overlay_test_support.h"
#include "standin/objects.h"

namespace {

struct PointCase {
  CGPoint point;
  bool inside;
};

TEST(PathTest, EllipseInRectIsTheInscribedEllipse) {
  CGPathRef ellipse = CGPathCreateWithEllipseInRect(CGRectMake(14, 13, 10, 10), nullptr);
  EXPECT_EQ(CGPathGetBoundingBox(ellipse), CGRectMake(14, 13, 10, 10));
  const PointCase cases[] = {
      {{19, 18}, true},      {{14.2, 18}, true},    {{23.8, 18}, true},  {{19, 13.2}, true},
      {{19, 22.8}, true},    {{14.6, 13.6}, false},  // inside the box, outside the circle
      {{23.4, 22.4}, false}, {{13.9, 18}, false},   {{19, 23.1}, false},
  };
  for (const PointCase& c : cases) {
    EXPECT_EQ(CGPathContainsPoint(ellipse, nullptr, c.point, false), c.inside)
        << c.point.x << ", " << c.point.y;
  }
  CGPathRelease(ellipse);
}

TEST(PathTest, TransformAppliesToEveryPoint) {
  const CGAffineTransform shift{1, 0, 0, 1, 100, 50};
  CGPathRef ellipse = CGPathCreateWithEllipseInRect(CGRectMake(0, 0, 10, 20), &shift);
  EXPECT_EQ(CGPathGetBoundingBox(ellipse), CGRectMake(100, 50, 10, 20));
  CGPathRelease(ellipse);
}

TEST(PathTest, RoundedRectWithHalfTheHeightAsRadiusIsACapsule) {
  CGPathRef capsule = CGPathCreateWithRoundedRect(CGRectMake(0, 0, 148, 36), 18, 18, nullptr);
  EXPECT_EQ(CGPathGetBoundingBox(capsule), CGRectMake(0, 0, 148, 36));
  const PointCase cases[] = {
      {{74, 18}, true},    {{0.5, 18}, true},  {{147.5, 18}, true}, {{74, 0.5}, true},
      {{1, 1}, false},     {{147, 35}, false}, {{5, 5}, false},     {{18, 0.5}, true},
      {{130, 35.5}, true}, {{143, 31}, false},
  };
  for (const PointCase& c : cases) {
    EXPECT_EQ(CGPathContainsPoint(capsule, nullptr, c.point, false), c.inside)
        << c.point.x << ", " << c.point.y;
  }
  CGPathRelease(capsule);
  // Radii past half the size are clamped to it.
  CGPathRef clamped = CGPathCreateWithRoundedRect(CGRectMake(0, 0, 148, 36), 40, 40, nullptr);
  EXPECT_TRUE(CGPathContainsPoint(clamped, nullptr, CGPoint{74, 18}, false));
  EXPECT_TRUE(CGPathContainsPoint(clamped, nullptr, CGPoint{30, 1}, false));
  CGPathRelease(clamped);
}

TEST(PathTest, AShapeLayerKeepsItsOwnReferenceToThePath) {
  const long before = standin::LiveObjectCount();
  {
    void* pool = objc_autoreleasePoolPush();
    CAShapeLayer* layer = CAShapeLayer::layer();
    CGPathRef path = CGPathCreateWithEllipseInRect(CGRectMake(0, 0, 4, 4), nullptr);
    layer->setPath(path);
    CGPathRelease(path);
    EXPECT_EQ(layer->path(), path);
    EXPECT_EQ(CGPathGetBoundingBox(layer->path()), CGRectMake(0, 0, 4, 4));
    objc_autoreleasePoolPop(pool);
  }
  EXPECT_EQ(standin::LiveObjectCount(), before) << "the path went with the layer";
  CGPathRelease(nullptr);  // allowed, does nothing
}

}  // namespace
