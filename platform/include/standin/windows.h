// Test- and engine-facing view of the window server: the windows of this process, which are on
// screen and in what order, and which is key and main.
//
// Threads: main thread only (where windows live); a call from another thread ends the process.
#ifndef PLATFORM_INCLUDE_STANDIN_WINDOWS_H_
#define PLATFORM_INCLUDE_STANDIN_WINDOWS_H_

#include <vector>

#include "AppKit/NSWindow.h"

namespace standin {

// The on-screen windows, front to back: higher levels in front, and within a level the one ordered
// front last in front.
std::vector<NSWindow*> OnScreenWindows();

// Every window alive, on screen or not, in creation order.
std::vector<NSWindow*> AllWindows();

// The window that receives keyboard input and the main window, or null.
NSWindow* KeyWindow();
NSWindow* MainWindow();

}  // namespace standin

#endif  // PLATFORM_INCLUDE_STANDIN_WINDOWS_H_
