// Test- and engine-facing arrangement of the desktop's screens, which NSScreen reports.
//
// Coordinates are the desktop's: origin at the bottom left of the first screen, y growing upwards.
// A screen's visible frame is its frame without the menu bar (at the top) and the Dock (at the
// bottom, or at a side).
//
// Threads: any thread; the arrangement is one process-wide state behind a lock. A new process has
// no screen.
#ifndef PLATFORM_INCLUDE_STANDIN_SCREENS_H_
#define PLATFORM_INCLUDE_STANDIN_SCREENS_H_

#include <cstddef>
#include <optional>
#include <vector>

#include "CoreGraphics/CGGeometry.h"

namespace standin {

struct ScreenSpec {
  CGRect frame = CGRectZero;
  CGRect visible_frame = CGRectZero;
  bool operator==(const ScreenSpec&) const = default;
};

// A screen of `frame` with a menu bar of `menu_bar` points at the top and a Dock of `dock` points
// at the bottom.
ScreenSpec ScreenWithBars(CGRect frame, CGFloat menu_bar, CGFloat dock);

// Replaces the desktop's screens: NSScreen::screens lists them in this order and
// NSScreen::mainScreen is the one at `main_screen` (none for nullopt or an index past the end).
void ArrangeScreens(std::vector<ScreenSpec> screens, std::optional<size_t> main_screen = 0);

// The current arrangement.
std::vector<ScreenSpec> Screens();
std::optional<size_t> MainScreenIndex();

}  // namespace standin

#endif  // PLATFORM_INCLUDE_STANDIN_SCREENS_H_
