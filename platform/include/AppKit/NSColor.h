// NSColor: an immutable colour, red, green, blue and alpha components from 0 to 1.
#ifndef PLATFORM_INCLUDE_APPKIT_NSCOLOR_H_
#define PLATFORM_INCLUDE_APPKIT_NSCOLOR_H_

#include "CoreGraphics/CGColor.h"
#include "CoreGraphics/CGGeometry.h"
#include "Foundation/NSObject.h"

class NSColor : public NSObject {
 public:
  // Autoreleased colours.
  static NSColor* colorWithRed(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha);
  static NSColor* clearColor();
  static NSColor* whiteColor();
  static NSColor* blackColor();

  NSColor(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha);
  ~NSColor() override;

  // The same colour as a Core Graphics colour, owned by this colour and valid while it lives.
  CGColorRef CGColor() const;

  // Makes this the fill colour of the current drawing context (the one a view draws into during
  // drawRect:); without a current context nothing happens.
  void setFill() const;

  void getRed(CGFloat* red, CGFloat* green, CGFloat* blue, CGFloat* alpha) const;
  CGFloat alphaComponent() const { return alpha_; }

 private:
  CGFloat red_, green_, blue_, alpha_;
  mutable CGColorRef cg_color_ = nullptr;
};

#endif  // PLATFORM_INCLUDE_APPKIT_NSCOLOR_H_
