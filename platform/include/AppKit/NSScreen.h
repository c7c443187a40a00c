// NSScreen: a display of the desktop. Screens are arranged by tests and the engine through
// standin/screens.h; coordinates are the desktop's, origin at the bottom left of the first screen,
// y growing upwards.
#ifndef PLATFORM_INCLUDE_APPKIT_NSSCREEN_H_
#define PLATFORM_INCLUDE_APPKIT_NSSCREEN_H_

#include "CoreGraphics/CGGeometry.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSObject.h"

class NSScreen : public NSObject {
 public:
  // The screen the user works on (autoreleased), or null when there is none.
  static NSScreen* mainScreen();
  // Every screen, the first being the one with the menu bar (autoreleased array of NSScreen);
  // empty when the desktop has no screen.
  static NSArray* screens();

  NSScreen(CGRect frame, CGRect visible_frame);

  // The whole screen.
  CGRect frame() const { return frame_; }
  // The screen without the menu bar and the Dock.
  CGRect visibleFrame() const { return visible_frame_; }

 private:
  CGRect frame_;
  CGRect visible_frame_;
};

#endif  // PLATFORM_INCLUDE_APPKIT_NSSCREEN_H_
