#include <AppKit/NSColor.h>

#include "drawing_context.h"

NSColor* NSColor::colorWithRed(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha) {
  return NSAutorelease(new NSColor(red, green, blue, alpha));
}

NSColor* NSColor::clearColor() { return colorWithRed(0, 0, 0, 0); }

NSColor* NSColor::whiteColor() { return colorWithRed(1, 1, 1, 1); }

NSColor* NSColor::blackColor() { return colorWithRed(0, 0, 0, 1); }

NSColor::NSColor(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha)
    : red_(red), green_(green), blue_(blue), alpha_(alpha) {}

NSColor::~NSColor() { CGColorRelease(cg_color_); }

CGColorRef NSColor::CGColor() const {
  if (cg_color_ == nullptr) cg_color_ = CGColorCreateSRGB(red_, green_, blue_, alpha_);
  return cg_color_;
}

void NSColor::setFill() const {
  if (appkit::DrawingContext* context = appkit::CurrentDrawingContext()) {
    context->fill = standin::Rgba{red_, green_, blue_, alpha_};
  }
}

void NSColor::getRed(CGFloat* red, CGFloat* green, CGFloat* blue, CGFloat* alpha) const {
  if (red != nullptr) *red = red_;
  if (green != nullptr) *green = green_;
  if (blue != nullptr) *blue = blue_;
  if (alpha != nullptr) *alpha = alpha_;
}
