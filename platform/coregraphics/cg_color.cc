#include <CoreGraphics/CGColor.h>

extern "C" CGColorRef CGColorCreateSRGB(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha) {
  return new CGColor(red, green, blue, alpha);
}

extern "C" CGColorRef CGColorRetain(CGColorRef color) { return NSRetain(color); }

extern "C" void CGColorRelease(CGColorRef color) { NSRelease(color); }

extern "C" size_t CGColorGetNumberOfComponents(CGColorRef color) {
  return color == nullptr ? 0 : 4;
}

extern "C" const CGFloat* CGColorGetComponents(CGColorRef color) {
  return color == nullptr ? nullptr : color->components;
}

extern "C" CGFloat CGColorGetAlpha(CGColorRef color) {
  return color == nullptr ? 0 : color->components[3];
}
