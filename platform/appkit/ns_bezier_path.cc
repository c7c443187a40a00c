#include <AppKit/NSBezierPath.h>

#include <cstdio>

#include "drawing_context.h"

NSBezierPath* NSBezierPath::bezierPathWithRoundedRect(CGRect rect, CGFloat x_radius,
                                                      CGFloat y_radius) {
  CGPathRef path = CGPathCreateWithRoundedRect(rect, x_radius, y_radius, nullptr);
  auto* bezier = new NSBezierPath(path);
  CGPathRelease(path);
  return NSAutorelease(bezier);
}

NSBezierPath::NSBezierPath(CGPathRef path) : path_(CGPathRetain(path)) {}

NSBezierPath::~NSBezierPath() { CGPathRelease(path_); }

void NSBezierPath::fill() const {
  appkit::DrawingContext* context = appkit::CurrentDrawingContext();
  if (context == nullptr) {
    std::fputs("NSBezierPath fill: no current drawing context\n", stderr);
    return;
  }
  context->operations.push_back(standin::PathFill{
      std::shared_ptr<const ::CGPath>(CGPathRetain(path_), CGPathRelease), context->fill});
}
