// The current drawing context of the main thread: made current by standin::RecordDrawing around a
// view's drawRect:, it collects what NSBezierPath, NSColor and NSTextField draw.
#ifndef PLATFORM_APPKIT_DRAWING_CONTEXT_H_
#define PLATFORM_APPKIT_DRAWING_CONTEXT_H_

#include <vector>

#include "standin/drawing.h"

namespace appkit {

struct DrawingContext {
  standin::Rgba fill;  // opaque black until a colour's setFill
  std::vector<standin::DrawingOperation> operations;
};

// The context drawRect: draws into right now, or null outside drawing.
DrawingContext* CurrentDrawingContext();

}  // namespace appkit

#endif  // PLATFORM_APPKIT_DRAWING_CONTEXT_H_
