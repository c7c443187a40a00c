// The stand-in AppKit framework.
#ifndef PLATFORM_INCLUDE_APPKIT_APPKIT_H_
#define PLATFORM_INCLUDE_APPKIT_APPKIT_H_

#include "AppKit/NSRunningApplication.h"
#include "AppKit/NSWorkspace.h"
#include "Foundation/Foundation.h"

#endif  // PLATFORM_INCLUDE_APPKIT_APPKIT_H_
