#include "painter.h"

#include <AppKit/NSView.h>
#include <QuartzCore/CAShapeLayer.h>
#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstdio>
#include <map>
#include <mutex>
#include <string>
#include <variant>

#include "gaussian_blur.h"
#include "standin/drawing.h"

namespace render {
namespace {

constexpr CGFloat kTitleBarHeight = 28;

void SetColor(cairo_t* cr, const standin::Rgba& color) {
  cairo_set_source_rgba(cr, color.red, color.green, color.blue, color.alpha);
}

void AddElement(void* info, const CGPathElement* element) {
  auto* cr = static_cast<cairo_t*>(info);
  const CGPoint* p = element->points;
  switch (element->type) {
    case kCGPathElementMoveToPoint:
      cairo_move_to(cr, p[0].x, p[0].y);
      break;
    case kCGPathElementAddLineToPoint:
      cairo_line_to(cr, p[0].x, p[0].y);
      break;
    case kCGPathElementAddQuadCurveToPoint: {
      double x0 = 0, y0 = 0;
      cairo_get_current_point(cr, &x0, &y0);
      cairo_curve_to(cr, x0 + 2.0 / 3 * (p[0].x - x0), y0 + 2.0 / 3 * (p[0].y - y0),
                     p[1].x + 2.0 / 3 * (p[0].x - p[1].x), p[1].y + 2.0 / 3 * (p[0].y - p[1].y),
                     p[1].x, p[1].y);
      break;
    }
    case kCGPathElementAddCurveToPoint:
      cairo_curve_to(cr, p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y);
      break;
    case kCGPathElementCloseSubpath:
      cairo_close_path(cr);
      break;
  }
}

// Cairo font faces of the font files, opened once and kept for the life of the process.
cairo_font_face_t* FontFaceFor(const std::string& file) {
  static auto* lock = new std::mutex();
  static auto* faces = new std::map<std::string, cairo_font_face_t*>();
  static FT_Library library = [] {
    FT_Library made = nullptr;
    return FT_Init_FreeType(&made) == 0 ? made : nullptr;
  }();
  std::lock_guard guard(*lock);
  auto it = faces->find(file);
  if (it != faces->end()) return it->second;
  cairo_font_face_t* face = nullptr;
  FT_Face ft_face = nullptr;
  if (library != nullptr && FT_New_Face(library, file.c_str(), 0, &ft_face) == 0) {
    face = cairo_ft_font_face_create_for_ft_face(ft_face, 0);
  } else {
    std::fprintf(stderr, "render: cannot open the font %s\n", file.c_str());
  }
  faces->emplace(file, face);
  return face;
}

void PaintText(cairo_t* cr, const standin::TextRun& run) {
  cairo_font_face_t* face = FontFaceFor(run.font_file);
  if (face == nullptr || run.glyphs.empty()) return;
  cairo_save(cr);
  cairo_rectangle(cr, run.clip.origin.x, run.clip.origin.y, run.clip.size.width,
                  run.clip.size.height);
  cairo_clip(cr);
  // Glyphs are designed y-down: set them on the baseline in a locally flipped space.
  cairo_translate(cr, run.origin.x, run.origin.y);
  cairo_scale(cr, 1, -1);
  cairo_set_font_face(cr, face);
  cairo_set_font_size(cr, run.font_size);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
  std::vector<cairo_glyph_t> glyphs;
  for (const standin::TextRun::Glyph& glyph : run.glyphs)
    glyphs.push_back({glyph.index, glyph.x, 0});
  cairo_new_path(cr);
  cairo_glyph_path(cr, glyphs.data(), static_cast<int>(glyphs.size()));
  SetColor(cr, run.color);
  if (run.emphasis > 0) {
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, run.emphasis);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
  } else {
    cairo_fill(cr);
  }
  cairo_restore(cr);
}

void PaintOperations(cairo_t* cr, const std::vector<standin::DrawingOperation>& operations) {
  for (const standin::DrawingOperation& operation : operations) {
    if (const auto* fill = std::get_if<standin::PathFill>(&operation)) {
      cairo_new_path(cr);
      AppendPath(cr, fill->path.get());
      cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
      SetColor(cr, fill->color);
      cairo_fill(cr);
    } else if (const auto* text = std::get_if<standin::TextRun>(&operation)) {
      PaintText(cr, *text);
    }
  }
}

}  // namespace

void AppendPath(cairo_t* cr, CGPathRef path) { CGPathApply(path, cr, &AddElement); }

void Painter::PaintWindow(NSWindow* window, bool with_shadow) {
  const CGRect frame = window->frame();
  cairo_save(cr_);
  if (with_shadow && window->hasShadow()) {
    cairo_new_path(cr_);
    cairo_rectangle(cr_, frame.origin.x, frame.origin.y, frame.size.width, frame.size.height);
    PaintBlurredPath(9, CGSize{0, -6}, 0, 0, 0, 0.35);
  }
  cairo_rectangle(cr_, frame.origin.x, frame.origin.y, frame.size.width, frame.size.height);
  cairo_clip(cr_);
  if (NSColor* background = window->backgroundColor()) {
    CGFloat red = 0, green = 0, blue = 0, alpha = 0;
    background->getRed(&red, &green, &blue, &alpha);
    if (alpha > 0) {
      cairo_set_source_rgba(cr_, red, green, blue, alpha);
      cairo_paint(cr_);
    }
  }
  if ((window->styleMask() & NSWindowStyleMaskTitled) != 0) PaintTitleBar(frame);
  if (NSView* content = window->contentView()) {
    // The content view's frame is relative to the content rectangle, at the frame's origin.
    cairo_translate(cr_, frame.origin.x, frame.origin.y);
    PaintView(content);
  }
  cairo_restore(cr_);
}

void Painter::PaintTitleBar(CGRect frame) {
  const CGFloat top = frame.origin.y + frame.size.height;
  cairo_rectangle(cr_, frame.origin.x, top - kTitleBarHeight, frame.size.width, kTitleBarHeight);
  cairo_set_source_rgb(cr_, 0.89, 0.89, 0.89);
  cairo_fill(cr_);
  const double colors[3][3] = {{1.0, 0.37, 0.34}, {1.0, 0.74, 0.18}, {0.16, 0.79, 0.25}};
  for (int i = 0; i < 3; ++i) {
    cairo_arc(cr_, frame.origin.x + 13 + 20 * i, top - kTitleBarHeight / 2, 6, 0, 2 * M_PI);
    cairo_set_source_rgb(cr_, colors[i][0], colors[i][1], colors[i][2]);
    cairo_fill(cr_);
  }
}

void Painter::PaintView(NSView* view) {
  if (CALayer* layer = view->layer()) {
    PaintLayer(layer);
    return;
  }
  const CGRect frame = view->frame();
  cairo_save(cr_);
  cairo_translate(cr_, frame.origin.x, frame.origin.y);
  cairo_save(cr_);
  cairo_rectangle(cr_, 0, 0, frame.size.width, frame.size.height);
  cairo_clip(cr_);
  PaintViewDrawing(view);
  cairo_restore(cr_);
  for (NSView* subview : view->subviewList()) PaintView(subview);
  cairo_restore(cr_);
}

void Painter::PaintViewDrawing(NSView* view) { PaintOperations(cr_, standin::RecordDrawing(view)); }

void Painter::PaintLayer(CALayer* layer) {
  const CGRect frame = layer->frame();
  cairo_save(cr_);
  cairo_translate(cr_, frame.origin.x, frame.origin.y);
  if (NSView* view = layer->delegate()) {
    // A view-backed layer's content is the view's drawing, within the view's bounds.
    cairo_save(cr_);
    cairo_rectangle(cr_, 0, 0, frame.size.width, frame.size.height);
    cairo_clip(cr_);
    PaintViewDrawing(view);
    cairo_restore(cr_);
  }
  if (const auto* shape = dynamic_cast<const CAShapeLayer*>(layer)) PaintShapeLayer(shape);
  if (NSArray* sublayers = layer->sublayers()) {
    for (NSUInteger i = 0; i < sublayers->count(); ++i) {
      PaintLayer(static_cast<CALayer*>(sublayers->objectAtIndex(i)));
    }
  }
  cairo_restore(cr_);
}

void Painter::PaintShapeLayer(const CAShapeLayer* shape) {
  CGPathRef path = shape->path();
  if (path == nullptr) return;
  const CGColorRef shadow = shape->shadowColor();
  const double opacity = shape->presentationValueForKeyPath("shadowOpacity", time_).value_or(0);
  const double radius = shape->presentationValueForKeyPath("shadowRadius", time_).value_or(0);
  const CGColorRef fill = shape->fillColor();
  if (shadow != nullptr && opacity > 0) {
    // The shadow takes the shape's coverage: the fill's alpha, or none without a fill.
    const double coverage = fill == nullptr ? 0 : CGColorGetAlpha(fill);
    const CGFloat* c = CGColorGetComponents(shadow);
    cairo_new_path(cr_);
    AppendPath(cr_, path);
    // The blur radius spans two standard deviations of the Gaussian, as a blur radius does in CSS.
    PaintBlurredPath(radius / 2, shape->shadowOffset(), c[0], c[1], c[2],
                     c[3] * std::fmin(1.0, opacity) * coverage);
  }
  if (fill != nullptr) {
    const CGFloat* c = CGColorGetComponents(fill);
    cairo_new_path(cr_);
    AppendPath(cr_, path);
    cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_WINDING);
    cairo_set_source_rgba(cr_, c[0], c[1], c[2], c[3]);
    cairo_fill(cr_);
  }
}

void Painter::PaintBlurredPath(double sigma, CGSize offset, double red, double green, double blue,
                               double alpha) {
  if (alpha <= 0) {
    cairo_new_path(cr_);
    return;
  }
  cairo_save(cr_);
  // Work in device pixels: the current path moved by the offset, as the device sees it.
  cairo_path_t* user_path = cairo_copy_path(cr_);
  cairo_new_path(cr_);
  cairo_translate(cr_, offset.width, offset.height);
  cairo_append_path(cr_, user_path);
  cairo_path_destroy(user_path);
  double unit_x = 1, unit_y = 0;
  cairo_user_to_device_distance(cr_, &unit_x, &unit_y);
  const double pixels_per_point = std::hypot(unit_x, unit_y);
  const double device_sigma = sigma * pixels_per_point;
  cairo_identity_matrix(cr_);
  cairo_path_t* device_path = cairo_copy_path(cr_);
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  cairo_path_extents(cr_, &x1, &y1, &x2, &y2);
  cairo_new_path(cr_);
  const double pad = std::ceil(3 * device_sigma) + 1;
  const int left = static_cast<int>(std::floor(x1 - pad));
  const int top = static_cast<int>(std::floor(y1 - pad));
  const int width = static_cast<int>(std::ceil(x2 + pad)) - left;
  const int height = static_cast<int>(std::ceil(y2 + pad)) - top;
  if (width > 0 && height > 0 && width <= 16384 && height <= 16384) {
    cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, width, height);
    cairo_t* mask_cr = cairo_create(mask);
    cairo_translate(mask_cr, -left, -top);
    cairo_append_path(mask_cr, device_path);
    cairo_set_source_rgba(mask_cr, 0, 0, 0, 1);
    cairo_fill(mask_cr);
    cairo_destroy(mask_cr);
    BlurAlphaMask(mask, device_sigma);
    cairo_set_source_rgba(cr_, red, green, blue, alpha);
    cairo_mask_surface(cr_, mask, left, top);
    cairo_surface_destroy(mask);
  }
  cairo_path_destroy(device_path);
  cairo_restore(cr_);
}

}  // namespace render
