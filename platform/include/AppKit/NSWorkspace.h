// NSWorkspace: the desktop as one application sees it.
//
// Threads: may be used from any thread.
#ifndef PLATFORM_INCLUDE_APPKIT_NSWORKSPACE_H_
#define PLATFORM_INCLUDE_APPKIT_NSWORKSPACE_H_

#include "AppKit/NSRunningApplication.h"
#include "Foundation/NSObject.h"

class NSWorkspace : public NSObject {
 public:
  // The one workspace object of the process, made on first use and never freed.
  static NSWorkspace* sharedWorkspace();

  // An autoreleased snapshot of the application that owns the menu bar and receives key events;
  // null when there is none.
  NSRunningApplication* frontmostApplication() const;

 private:
  NSWorkspace() = default;
};

#endif  // PLATFORM_INCLUDE_APPKIT_NSWORKSPACE_H_
