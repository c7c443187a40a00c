// Pictures of the desktop as PNG files, drawn with cairo: the screens with their menu bar and Dock
// areas, and the on-screen windows back to front, each with its background, its content view's
// drawing (drawRect:), its layer tree (shape layers with their fill and shadow) and its subviews'
// text in the system font. Animated layer properties are drawn as they are at a given media time,
// so a pulsing glow shows its state then.
//
// Threads: main thread only (windows and views live there); a call from another thread ends the
// process.
#ifndef PLATFORM_INCLUDE_STANDIN_SCREENSHOT_H_
#define PLATFORM_INCLUDE_STANDIN_SCREENSHOT_H_

#include <cstddef>
#include <optional>
#include <string>

#include "AppKit/NSWindow.h"
#include "CoreGraphics/CGGeometry.h"
#include "QuartzCore/CABase.h"

namespace standin {

struct RenderOptions {
  // Pixels per point: 2 gives a picture as sharp as a high-density display.
  double scale = 1;
  // The media time (CACurrentMediaTime) to sample animations at; nullopt: now.
  std::optional<CFTimeInterval> time;
};

struct ScreenshotOptions : RenderOptions {
  // The part of the desktop to draw, in desktop coordinates; nullopt: the smallest rectangle
  // holding every screen. Desktop area outside every screen is black.
  std::optional<CGRect> region;
};

// Draws the desktop into a PNG file at `png_path`. Returns false with a reason in `*error` (when
// not null) when there is nothing to draw (no screen and no region), the picture would be empty or
// larger than 16384 pixels a side, or the file cannot be written.
bool WriteScreenshot(const std::string& png_path, const ScreenshotOptions& options = {},
                     std::string* error = nullptr);

// Draws `window` alone, on a transparent background, its frame filling the picture, whether or not
// it is on screen: a window's translucent and clear areas keep their alpha in the PNG.
bool WriteWindowImage(NSWindow* window, const std::string& png_path,
                      const RenderOptions& options = {}, std::string* error = nullptr);

}  // namespace standin

#endif  // PLATFORM_INCLUDE_STANDIN_SCREENSHOT_H_
