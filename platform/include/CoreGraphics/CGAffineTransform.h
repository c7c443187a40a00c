// Affine transforms of the plane: x' = a·x + c·y + tx, y' = b·x + d·y + ty.
#ifndef PLATFORM_INCLUDE_COREGRAPHICS_CGAFFINETRANSFORM_H_
#define PLATFORM_INCLUDE_COREGRAPHICS_CGAFFINETRANSFORM_H_

#include "CoreGraphics/CGGeometry.h"

struct CGAffineTransform {
  CGFloat a = 1, b = 0, c = 0, d = 1;
  CGFloat tx = 0, ty = 0;
  bool operator==(const CGAffineTransform&) const = default;
};

inline constexpr CGAffineTransform CGAffineTransformIdentity{1, 0, 0, 1, 0, 0};

inline CGPoint CGPointApplyAffineTransform(CGPoint point, CGAffineTransform t) {
  return CGPoint{t.a * point.x + t.c * point.y + t.tx, t.b * point.x + t.d * point.y + t.ty};
}

#endif  // PLATFORM_INCLUDE_COREGRAPHICS_CGAFFINETRANSFORM_H_
