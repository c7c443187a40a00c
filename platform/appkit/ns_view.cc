#include <AppKit/NSView.h>

#include <algorithm>

#include "main_thread_check.h"

NSView::~NSView() {
  for (NSView* subview : subviews_) {
    subview->superview_ = nullptr;
    subview->release();
  }
  if (layer_ != nullptr) {
    layer_->setDelegate(nullptr);
    layer_->release();
  }
}

NSView* NSView::initWithFrame(CGRect frame) {
  appkit::RequireMainThread("NSView initWithFrame:");
  frame_ = frame;
  return this;
}

void NSView::setFrame(CGRect frame) {
  frame_ = frame;
  if (layer_ != nullptr) layer_->setFrame(frame);
}

void NSView::setWantsLayer(BOOL wants_layer) {
  if (!wants_layer) return;
  wants_layer_ = YES;
  if (layer_ != nullptr) return;
  becomeLayerBacked();
  if (superview_ != nullptr && superview_->layer_ != nullptr)
    superview_->layer_->addSublayer(layer_);
}

void NSView::becomeLayerBacked() {
  if (layer_ != nullptr) return;
  layer_ = new CALayer();
  layer_->setFrame(frame_);
  layer_->setDelegate(this);
  for (NSView* subview : subviews_) {
    subview->becomeLayerBacked();
    layer_->addSublayer(subview->layer_);
  }
}

void NSView::addSubview(NSView* view) {
  if (view == nullptr || view == this) return;
  view->retain();
  view->removeFromSuperview();
  view->superview_ = this;
  subviews_.push_back(view);
  view->setWindow(window_);
  if (layer_ != nullptr) {
    view->becomeLayerBacked();
    layer_->addSublayer(view->layer_);
  }
}

void NSView::removeFromSuperview() {
  NSView* parent = superview_;
  if (parent == nullptr) return;
  auto it = std::find(parent->subviews_.begin(), parent->subviews_.end(), this);
  if (it == parent->subviews_.end()) return;
  parent->subviews_.erase(it);
  superview_ = nullptr;
  setWindow(nullptr);
  if (layer_ != nullptr) layer_->removeFromSuperlayer();
  release();
}

NSArray* NSView::subviews() const {
  return NSAutorelease(new NSArray(std::vector<NSObject*>(subviews_.begin(), subviews_.end())));
}

void NSView::drawRect(CGRect /*dirty_rect*/) {}

void NSView::setWindow(NSWindow* window) {
  window_ = window;
  for (NSView* subview : subviews_) subview->setWindow(window);
}
