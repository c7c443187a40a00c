#include <AppKit/NSWindow.h>

#include <algorithm>

#include "main_thread_check.h"
#include "window_server.h"

namespace {

constexpr CGFloat kTitleBarHeight = 28;

CGFloat OverlapArea(CGRect a, CGRect b) {
  const CGFloat width = std::min(a.origin.x + a.size.width, b.origin.x + b.size.width) -
                        std::max(a.origin.x, b.origin.x);
  const CGFloat height = std::min(a.origin.y + a.size.height, b.origin.y + b.size.height) -
                         std::max(a.origin.y, b.origin.y);
  return width > 0 && height > 0 ? width * height : 0;
}

}  // namespace

NSWindow::NSWindow() {
  appkit::RequireMainThread("NSWindow");
  window_number_ = appkit::WindowServer::Get().Register(this);
}

NSWindow::~NSWindow() {
  appkit::WindowServer::Get().Forget(this);
  if (content_view_ != nullptr) {
    content_view_->setWindow(nullptr);
    content_view_->release();
  }
  NSRelease(background_color_);
}

NSWindow* NSWindow::initWithContentRect(CGRect content_rect, NSWindowStyleMask style,
                                        NSBackingStoreType backing, BOOL defer, NSScreen* screen) {
  appkit::RequireMainThread("NSWindow initWithContentRect:styleMask:backing:defer:screen:");
  creation_ = Creation{content_rect, style, backing, defer, screen};
  style_mask_ = style;
  backing_ = backing;
  frame_ = content_rect;
  if ((style & NSWindowStyleMaskTitled) != 0) frame_.size.height += kTitleBarHeight;
  setBackgroundColor(NSColor::colorWithRed(0.93, 0.93, 0.93, 1));
  auto* content = new NSView();
  content->initWithFrame(CGRect{CGPointZero, content_rect.size});
  setContentView(content);
  content->release();
  return this;
}

NSScreen* NSWindow::screen() const {
  NSScreen* best = nullptr;
  CGFloat best_area = 0;
  NSArray* screens = NSScreen::screens();
  for (NSUInteger i = 0; i < screens->count(); ++i) {
    auto* candidate = static_cast<NSScreen*>(screens->objectAtIndex(i));
    const CGFloat area = OverlapArea(frame_, candidate->frame());
    if (area > best_area) {
      best = candidate;
      best_area = area;
    }
  }
  return best;
}

void NSWindow::setBackgroundColor(NSColor* color) {
  NSRetain(color);
  NSRelease(background_color_);
  background_color_ = color;
}

void NSWindow::setLevel(NSWindowLevel level) {
  level_ = level;
  appkit::WindowServer::Get().LevelChanged(this);
}

void NSWindow::setContentView(NSView* view) {
  appkit::RequireMainThread("NSWindow setContentView:");
  if (view == content_view_) return;
  NSRetain(view);
  if (content_view_ != nullptr) {
    content_view_->setWindow(nullptr);
    content_view_->release();
  }
  content_view_ = view;
  if (view != nullptr) {
    view->setFrame(CGRect{CGPointZero, creation_.content_rect.size});
    view->setWindow(this);
  }
}

void NSWindow::orderFrontRegardless() {
  appkit::RequireMainThread("NSWindow orderFrontRegardless");
  appkit::WindowServer::Get().OrderFront(this);
}

void NSWindow::orderOut(NSObject* /*sender*/) {
  appkit::RequireMainThread("NSWindow orderOut:");
  appkit::WindowServer::Get().OrderOut(this);
}

BOOL NSWindow::isVisible() const { return appkit::WindowServer::Get().IsOnScreen(this); }

BOOL NSWindow::isKeyWindow() const { return appkit::WindowServer::Get().key() == this; }

BOOL NSWindow::isMainWindow() const { return appkit::WindowServer::Get().main() == this; }

BOOL NSWindow::canBecomeKeyWindow() const {
  return (style_mask_ & (NSWindowStyleMaskTitled | NSWindowStyleMaskResizable)) != 0;
}

BOOL NSWindow::canBecomeMainWindow() const { return (style_mask_ & NSWindowStyleMaskTitled) != 0; }
