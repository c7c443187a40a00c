// Paints windows with their views and layers onto a cairo context whose user space is the desktop's
// coordinates in points (origin at the bottom left, y growing upwards).
#ifndef PLATFORM_RENDER_PAINTER_H_
#define PLATFORM_RENDER_PAINTER_H_

#include <AppKit/NSWindow.h>
#include <CoreGraphics/CGPath.h>
#include <QuartzCore/CABase.h>
#include <QuartzCore/CAShapeLayer.h>
#include <cairo.h>

namespace render {

class Painter {
 public:
  // `time` is the media time at which animated layer properties are sampled.
  Painter(cairo_t* cr, CFTimeInterval time) : cr_(cr), time_(time) {}

  // The window at its frame: its shadow (when it has one and `with_shadow`), background, title bar
  // and content.
  void PaintWindow(NSWindow* window, bool with_shadow);

 private:
  void PaintView(NSView* view);
  void PaintLayer(CALayer* layer);
  void PaintViewDrawing(NSView* view);
  void PaintShapeLayer(const CAShapeLayer* shape);
  void PaintTitleBar(CGRect frame);
  // Paints the current path's soft shadow: blurred by `sigma` points, moved by `offset`, in the
  // colour with the alpha given. The current path is consumed.
  void PaintBlurredPath(double sigma, CGSize offset, double red, double green, double blue,
                        double alpha);

  cairo_t* cr_;
  CFTimeInterval time_;
};

// Appends the path's elements to the current path of `cr`.
void AppendPath(cairo_t* cr, CGPathRef path);

}  // namespace render

#endif  // PLATFORM_RENDER_PAINTER_H_
