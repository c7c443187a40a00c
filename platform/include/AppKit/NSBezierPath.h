// NSBezierPath: a path to fill into the current drawing context.
#ifndef PLATFORM_INCLUDE_APPKIT_NSBEZIERPATH_H_
#define PLATFORM_INCLUDE_APPKIT_NSBEZIERPATH_H_

#include "CoreGraphics/CGGeometry.h"
#include "CoreGraphics/CGPath.h"
#include "Foundation/NSObject.h"

class NSBezierPath : public NSObject {
 public:
  // An autoreleased closed rectangle with rounded corners of radii `x_radius` and `y_radius`, each
  // clamped to half of the rectangle's width (height): a height of twice `y_radius` gives a
  // capsule.
  static NSBezierPath* bezierPathWithRoundedRect(CGRect rect, CGFloat x_radius, CGFloat y_radius);

  explicit NSBezierPath(CGPathRef path);
  ~NSBezierPath() override;

  // Fills the path with the current drawing context's fill colour (NSColor::setFill); without a
  // current context nothing happens.
  void fill() const;

  // The path's outline as a Core Graphics path, owned by this object.
  CGPathRef CGPath() const { return path_; }
  CGRect bounds() const { return CGPathGetBoundingBox(path_); }

 private:
  CGPathRef path_;
};

#endif  // PLATFORM_INCLUDE_APPKIT_NSBEZIERPATH_H_
