#include "standin/screenshot.h"

#include <AppKit/NSWindow.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "../appkit/main_thread_check.h"
#include "painter.h"
#include "standin/screens.h"
#include "standin/windows.h"

namespace standin {
namespace {

constexpr int kLargestSide = 16384;

void Fail(std::string* error, std::string reason) {
  if (error != nullptr) *error = std::move(reason);
}

CGFloat Right(CGRect r) { return r.origin.x + r.size.width; }
CGFloat Top(CGRect r) { return r.origin.y + r.size.height; }

void RoundedRect(cairo_t* cr, double x, double y, double width, double height, double radius) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + width - radius, y + radius, radius, -M_PI / 2, 0);
  cairo_arc(cr, x + width - radius, y + height - radius, radius, 0, M_PI / 2);
  cairo_arc(cr, x + radius, y + height - radius, radius, M_PI / 2, M_PI);
  cairo_arc(cr, x + radius, y + radius, radius, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

// The Dock along one edge of the screen, in the band `band`: a translucent shelf with a row of
// application icons.
void PaintDock(cairo_t* cr, CGRect band, bool horizontal) {
  const double thickness = horizontal ? band.size.height : band.size.width;
  if (thickness < 8) return;
  const double icon = thickness - 16;
  const int icons = 8;
  const double length = icons * (icon + 8) + 8;
  const double along = horizontal ? band.size.width : band.size.height;
  const double start = (horizontal ? band.origin.x : band.origin.y) + (along - length) / 2;
  const double across = (horizontal ? band.origin.y : band.origin.x) + 4;
  if (horizontal) {
    RoundedRect(cr, start, across, length, thickness - 8, 14);
  } else {
    RoundedRect(cr, across, start, thickness - 8, length, 14);
  }
  cairo_set_source_rgba(cr, 1, 1, 1, 0.28);
  cairo_fill(cr);
  const double hues[icons][3] = {{0.25, 0.55, 0.95}, {0.95, 0.45, 0.25}, {0.35, 0.78, 0.40},
                                 {0.96, 0.78, 0.20}, {0.62, 0.40, 0.90}, {0.90, 0.30, 0.45},
                                 {0.30, 0.75, 0.80}, {0.55, 0.55, 0.60}};
  for (int i = 0; i < icons; ++i) {
    const double offset = start + 8 + i * (icon + 8);
    if (horizontal) {
      RoundedRect(cr, offset, across + 4, icon, icon, icon * 0.22);
    } else {
      RoundedRect(cr, across + 4, offset, icon, icon, icon * 0.22);
    }
    cairo_set_source_rgb(cr, hues[i][0], hues[i][1], hues[i][2]);
    cairo_fill(cr);
  }
}

// A screen: its wallpaper, the menu bar above the visible frame and the Dock beside it.
void PaintScreen(cairo_t* cr, const ScreenSpec& screen) {
  const CGRect frame = screen.frame;
  const CGRect visible = screen.visible_frame;
  cairo_pattern_t* wallpaper =
      cairo_pattern_create_linear(frame.origin.x, Top(frame), Right(frame), frame.origin.y);
  cairo_pattern_add_color_stop_rgb(wallpaper, 0, 0.16, 0.27, 0.49);
  cairo_pattern_add_color_stop_rgb(wallpaper, 0.55, 0.42, 0.43, 0.66);
  cairo_pattern_add_color_stop_rgb(wallpaper, 1, 0.88, 0.62, 0.56);
  cairo_rectangle(cr, frame.origin.x, frame.origin.y, frame.size.width, frame.size.height);
  cairo_set_source(cr, wallpaper);
  cairo_fill(cr);
  cairo_pattern_destroy(wallpaper);

  const double menu_bar = Top(frame) - Top(visible);
  if (menu_bar > 0) {
    cairo_rectangle(cr, frame.origin.x, Top(visible), frame.size.width, menu_bar);
    cairo_set_source_rgba(cr, 0.96, 0.96, 0.97, 0.82);
    cairo_fill(cr);
  }
  if (visible.origin.y > frame.origin.y) {
    PaintDock(cr,
              CGRectMake(frame.origin.x, frame.origin.y, frame.size.width,
                         visible.origin.y - frame.origin.y),
              true);
  }
  if (visible.origin.x > frame.origin.x) {
    PaintDock(cr,
              CGRectMake(frame.origin.x, visible.origin.y, visible.origin.x - frame.origin.x,
                         visible.size.height),
              false);
  }
  if (Right(visible) < Right(frame)) {
    PaintDock(cr,
              CGRectMake(Right(visible), visible.origin.y, Right(frame) - Right(visible),
                         visible.size.height),
              false);
  }
}

// A picture of `region` (desktop points) at `scale`, user space set to desktop points, y upwards.
cairo_surface_t* MakeCanvas(CGRect region, double scale, cairo_t** cr, std::string* error) {
  const double width = std::ceil(region.size.width * scale);
  const double height = std::ceil(region.size.height * scale);
  if (!(scale > 0) || !(width >= 1) || !(height >= 1)) {
    Fail(error, "the picture would be empty");
    return nullptr;
  }
  if (width > kLargestSide || height > kLargestSide) {
    Fail(error, "the picture would be larger than 16384 pixels a side");
    return nullptr;
  }
  cairo_surface_t* surface = cairo_image_surface_create(
      CAIRO_FORMAT_ARGB32, static_cast<int>(width), static_cast<int>(height));
  *cr = cairo_create(surface);
  cairo_matrix_t matrix;
  cairo_matrix_init(&matrix, scale, 0, 0, -scale, -region.origin.x * scale,
                    (region.origin.y + region.size.height) * scale);
  cairo_set_matrix(*cr, &matrix);
  return surface;
}

bool Finish(cairo_surface_t* surface, cairo_t* cr, const std::string& png_path,
            std::string* error) {
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  const cairo_status_t status = cairo_surface_write_to_png(surface, png_path.c_str());
  cairo_surface_destroy(surface);
  if (status != CAIRO_STATUS_SUCCESS) {
    Fail(error, "cannot write " + png_path + ": " + cairo_status_to_string(status));
    return false;
  }
  return true;
}

}  // namespace

bool WriteScreenshot(const std::string& png_path, const ScreenshotOptions& options,
                     std::string* error) {
  appkit::RequireMainThread("standin::WriteScreenshot");
  const std::vector<ScreenSpec> screens = Screens();
  CGRect region = CGRectZero;
  if (options.region) {
    region = *options.region;
  } else if (!screens.empty()) {
    CGFloat left = screens[0].frame.origin.x, bottom = screens[0].frame.origin.y;
    CGFloat right = Right(screens[0].frame), top = Top(screens[0].frame);
    for (const ScreenSpec& screen : screens) {
      left = std::min(left, screen.frame.origin.x);
      bottom = std::min(bottom, screen.frame.origin.y);
      right = std::max(right, Right(screen.frame));
      top = std::max(top, Top(screen.frame));
    }
    region = CGRectMake(left, bottom, right - left, top - bottom);
  } else {
    Fail(error, "the desktop has no screen and no region was given");
    return false;
  }
  cairo_t* cr = nullptr;
  cairo_surface_t* surface = MakeCanvas(region, options.scale, &cr, error);
  if (surface == nullptr) return false;
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_paint(cr);
  for (const ScreenSpec& screen : screens) PaintScreen(cr, screen);
  render::Painter painter(cr, options.time.value_or(CACurrentMediaTime()));
  void* pool = objc_autoreleasePoolPush();
  std::vector<NSWindow*> windows = OnScreenWindows();
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) painter.PaintWindow(*it, true);
  objc_autoreleasePoolPop(pool);
  return Finish(surface, cr, png_path, error);
}

bool WriteWindowImage(NSWindow* window, const std::string& png_path, const RenderOptions& options,
                      std::string* error) {
  appkit::RequireMainThread("standin::WriteWindowImage");
  if (window == nullptr) {
    Fail(error, "no window");
    return false;
  }
  cairo_t* cr = nullptr;
  cairo_surface_t* surface = MakeCanvas(window->frame(), options.scale, &cr, error);
  if (surface == nullptr) return false;
  render::Painter painter(cr, options.time.value_or(CACurrentMediaTime()));
  void* pool = objc_autoreleasePoolPush();
  painter.PaintWindow(window, false);
  objc_autoreleasePoolPop(pool);
  return Finish(surface, cr, png_path, error);
}

}  // namespace standin
