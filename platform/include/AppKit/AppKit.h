// The stand-in AppKit framework.
#ifndef PLATFORM_INCLUDE_APPKIT_APPKIT_H_
#define PLATFORM_INCLUDE_APPKIT_APPKIT_H_

#include "AppKit/NSBezierPath.h"
#include "AppKit/NSColor.h"
#include "AppKit/NSFont.h"
#include "AppKit/NSPanel.h"
#include "AppKit/NSRunningApplication.h"
#include "AppKit/NSScreen.h"
#include "AppKit/NSTextField.h"
#include "AppKit/NSView.h"
#include "AppKit/NSWindow.h"
#include "AppKit/NSWorkspace.h"
#include "Foundation/Foundation.h"

#endif  // PLATFORM_INCLUDE_APPKIT_APPKIT_H_
