// What a view draws: drawRect: runs with a recording drawing context made current, and the fills
// and text it draws come back as a list of operations in the view's coordinates. The renderer
// (standin/screenshot.h) draws these; tests read them.
//
// Threads: main thread only.
#ifndef PLATFORM_INCLUDE_STANDIN_DRAWING_H_
#define PLATFORM_INCLUDE_STANDIN_DRAWING_H_

#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "CoreGraphics/CGGeometry.h"
#include "CoreGraphics/CGPath.h"

class NSView;

namespace standin {

struct Rgba {
  CGFloat red = 0, green = 0, blue = 0, alpha = 0;
  bool operator==(const Rgba&) const = default;
};

// A path filled with a colour (non-zero winding).
struct PathFill {
  std::shared_ptr<const CGPath> path;  // holds a reference of its own
  Rgba color;
};

// A line of text: glyphs of a font file set on a baseline from `origin`, each at its x offset.
struct TextRun {
  struct Glyph {
    unsigned index = 0;
    CGFloat x = 0;
  };
  std::string text;  // UTF-8, for reading
  std::string font_file;
  CGFloat font_size = 0;
  CGFloat emphasis = 0;  // extra stroke width in points for intermediate weights
  CGPoint origin = CGPointZero;
  Rgba color;
  std::vector<Glyph> glyphs;
  CGRect clip = CGRectZero;  // the text is visible only inside this rectangle
};

using DrawingOperation = std::variant<PathFill, TextRun>;

// Runs `view`'s drawRect: with its bounds and returns what it drew, in order.
std::vector<DrawingOperation> RecordDrawing(NSView* view);

}  // namespace standin

#endif  // PLATFORM_INCLUDE_STANDIN_DRAWING_H_
