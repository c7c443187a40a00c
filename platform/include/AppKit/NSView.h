// NSView: a rectangle of a window's content that draws itself (drawRect:) and holds subviews.
//
// Geometry: `frame` is in the superview's coordinates, `bounds` is the view's own rectangle (origin
// zero, the frame's size); origin at the bottom left, y growing upwards.
//
// Layers: a view made layer-backed (setWantsLayer:) gets a CALayer whose content is what drawRect:
// draws; its sublayers are composited above that. Subviews of a layer-backed view are layer-backed
// too: their layers join the view's layer as sublayers, in the order they are added, so a sublayer
// added before a subview lies beneath it.
//
// Threads: main thread only.
#ifndef PLATFORM_INCLUDE_APPKIT_NSVIEW_H_
#define PLATFORM_INCLUDE_APPKIT_NSVIEW_H_

#include <vector>

#include "CoreGraphics/CGGeometry.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSObject.h"
#include "QuartzCore/CALayer.h"

class NSWindow;

class NSView : public NSObject {
 public:
  NSView() = default;
  ~NSView() override;

  // Initialises the view with `frame`; returns the view, or null (having released it) when that
  // fails.
  virtual NSView* initWithFrame(CGRect frame);

  CGRect frame() const { return frame_; }
  virtual void setFrame(CGRect frame);
  CGRect bounds() const { return CGRect{CGPointZero, frame_.size}; }

  // Makes the view layer-backed (YES); a view once layer-backed stays so here.
  void setWantsLayer(BOOL wants_layer);
  BOOL wantsLayer() const { return wants_layer_; }
  // The view's own layer, or null while the view is not layer-backed.
  CALayer* layer() const { return layer_; }

  // Appends `view` (taking a reference) above the other subviews, after removing it from any
  // superview it had.
  void addSubview(NSView* view);
  void removeFromSuperview();
  // The subviews, back to front (autoreleased array of NSView).
  NSArray* subviews() const;
  NSView* superview() const { return superview_; }
  // The window whose content this view belongs to, or null.
  NSWindow* window() const { return window_; }

  // Draws the view's content into the current drawing context, in the view's bounds. The window
  // system calls it with the rectangle to redraw; the view draws nothing by default.
  virtual void drawRect(CGRect dirty_rect);

  // Stand-in only: the subviews as a plain list, back to front. Used by NSWindow.
  const std::vector<NSView*>& subviewList() const { return subviews_; }
  void setWindow(NSWindow* window);

 private:
  void becomeLayerBacked();

  CGRect frame_ = CGRectZero;
  BOOL wants_layer_ = NO;
  CALayer* layer_ = nullptr;
  std::vector<NSView*> subviews_;
  NSView* superview_ = nullptr;
  NSWindow* window_ = nullptr;
};

#endif  // PLATFORM_INCLUDE_APPKIT_NSVIEW_H_
