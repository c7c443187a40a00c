// CGColor: an immutable colour in the sRGB colour space with an alpha component, each component
// from 0 to 1. A reference-counted platform object: CGColorRelease (or CFRelease) gives up a
// reference.
#ifndef PLATFORM_INCLUDE_COREGRAPHICS_CGCOLOR_H_
#define PLATFORM_INCLUDE_COREGRAPHICS_CGCOLOR_H_

#include <cstddef>

#include "CoreGraphics/CGGeometry.h"
#include "Foundation/NSObject.h"

struct CGColor : public NSObject {
  CGColor(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha)
      : components{red, green, blue, alpha} {}

  // Red, green, blue, alpha.
  const CGFloat components[4];
};

typedef struct CGColor* CGColorRef;

extern "C" {
// A new colour (+1 reference) with the given components.
CGColorRef CGColorCreateSRGB(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha);
// Take and give up a reference; both accept null and do nothing then.
CGColorRef CGColorRetain(CGColorRef color);
void CGColorRelease(CGColorRef color);
// Always 4: red, green, blue, alpha.
size_t CGColorGetNumberOfComponents(CGColorRef color);
// The four components, valid while the colour lives.
const CGFloat* CGColorGetComponents(CGColorRef color);
CGFloat CGColorGetAlpha(CGColorRef color);
}

#endif  // PLATFORM_INCLUDE_COREGRAPHICS_CGCOLOR_H_
