// NSPanel: an auxiliary window, such as a palette or an indicator. It behaves as NSWindow here.
#ifndef PLATFORM_INCLUDE_APPKIT_NSPANEL_H_
#define PLATFORM_INCLUDE_APPKIT_NSPANEL_H_

#include "AppKit/NSWindow.h"

class NSPanel : public NSWindow {};

#endif  // PLATFORM_INCLUDE_APPKIT_NSPANEL_H_
