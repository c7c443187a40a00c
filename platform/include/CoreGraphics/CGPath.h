// CGPath: an immutable graphics path, a sequence of subpaths made of straight lines and cubic
// Bézier curves. A reference-counted platform object: every Create function returns a path holding
// one reference for the caller, CGPathRelease (or CFRelease) gives it up, and whoever keeps a path
// (a shape layer, a Bézier path) holds a reference of its own.
#ifndef PLATFORM_INCLUDE_COREGRAPHICS_CGPATH_H_
#define PLATFORM_INCLUDE_COREGRAPHICS_CGPATH_H_

#include <utility>
#include <vector>

#include "CoreGraphics/CGAffineTransform.h"
#include "CoreGraphics/CGGeometry.h"
#include "Foundation/NSObject.h"

enum CGPathElementType : int {
  kCGPathElementMoveToPoint = 0,
  kCGPathElementAddLineToPoint = 1,
  kCGPathElementAddQuadCurveToPoint = 2,
  kCGPathElementAddCurveToPoint = 3,
  kCGPathElementCloseSubpath = 4,
};

// One element as CGPathApply hands it out: `points` holds 1 point for a move or a line, 3 for a
// cubic curve (two control points, then the end point), none for a close.
struct CGPathElement {
  CGPathElementType type;
  CGPoint* points;
};

typedef void (*CGPathApplierFunction)(void* info, const CGPathElement* element);

struct CGPath : public NSObject {
  struct Element {
    CGPathElementType type;
    CGPoint points[3];
  };
  explicit CGPath(std::vector<Element> path_elements) : elements(std::move(path_elements)) {}

  const std::vector<Element> elements;
};

typedef const struct CGPath* CGPathRef;

extern "C" {
// A closed path of four cubic curves approximating the ellipse inscribed in `rect`, starting at the
// rightmost point and running counter-clockwise; `transform` (may be null) applies to every point.
CGPathRef CGPathCreateWithEllipseInRect(CGRect rect, const CGAffineTransform* transform);

// A closed rectangle with rounded corners whose quarter-ellipse corners have the radii
// `corner_width` and `corner_height`; each radius must be at least 0 and at most half of the
// rectangle's width (height). Radii outside that range are clamped to it.
CGPathRef CGPathCreateWithRoundedRect(CGRect rect, CGFloat corner_width, CGFloat corner_height,
                                      const CGAffineTransform* transform);

// Take and give up a reference; both accept null and do nothing then.
CGPathRef CGPathRetain(CGPathRef path);
void CGPathRelease(CGPathRef path);

// The smallest rectangle holding every point of the path, control points included; CGRectZero for
// an empty path. (CGRect has C's layout; its C++ comparison operators only make clang wary.)
#ifdef __clang__
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif
CGRect CGPathGetBoundingBox(CGPathRef path);
#ifdef __clang__
#pragma clang diagnostic pop
#endif

// Whether `point` lies inside the filled path (non-zero winding rule, or even-odd when `eo_fill`),
// with `transform` (may be null) applied to the path first.
bool CGPathContainsPoint(CGPathRef path, const CGAffineTransform* transform, CGPoint point,
                         bool eo_fill);

// Calls `function` with `info` for each element of the path, in order.
void CGPathApply(CGPathRef path, void* info, CGPathApplierFunction function);
}

#endif  // PLATFORM_INCLUDE_COREGRAPHICS_CGPATH_H_
