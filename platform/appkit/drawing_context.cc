#include "drawing_context.h"

#include <AppKit/NSView.h>

#include "main_thread_check.h"

namespace appkit {
namespace {

thread_local DrawingContext* current_context = nullptr;

}  // namespace

DrawingContext* CurrentDrawingContext() { return current_context; }

}  // namespace appkit

namespace standin {

std::vector<DrawingOperation> RecordDrawing(NSView* view) {
  appkit::RequireMainThread("drawing a view");
  if (view == nullptr) return {};
  appkit::DrawingContext context;
  context.fill = Rgba{0, 0, 0, 1};
  appkit::DrawingContext* outer = appkit::current_context;
  appkit::current_context = &context;
  void* pool = objc_autoreleasePoolPush();
  view->drawRect(view->bounds());
  objc_autoreleasePoolPop(pool);
  appkit::current_context = outer;
  return std::move(context.operations);
}

}  // namespace standin
