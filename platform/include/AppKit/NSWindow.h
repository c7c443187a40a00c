// NSWindow: a window of the desktop, its content one view. The stand-in window server keeps the
// on-screen windows in order and decides which window is key (receives keyboard input) and which is
// main (standin/windows.h).
//
// Key and main status: whenever the window server orders a window front it offers the window key
// and main status, and gives each only when the window accepts it (canBecomeKeyWindow,
// canBecomeMainWindow). A window of this process that becomes key takes the keyboard focus away
// from the frontmost application of the desktop (standin/desktop.h).
//
// Geometry: rectangles are in desktop coordinates, origin at the bottom left, y growing upwards. A
// titled window's frame adds a 28-point title bar above its content; any other window's frame is
// its content rectangle.
//
// Threads: main thread only; a window operation on another thread ends the process.
#ifndef PLATFORM_INCLUDE_APPKIT_NSWINDOW_H_
#define PLATFORM_INCLUDE_APPKIT_NSWINDOW_H_

#include "AppKit/NSColor.h"
#include "AppKit/NSScreen.h"
#include "AppKit/NSView.h"
#include "CoreGraphics/CGGeometry.h"
#include "Foundation/NSObject.h"

typedef NSUInteger NSWindowStyleMask;
inline constexpr NSWindowStyleMask NSWindowStyleMaskBorderless = 0;
inline constexpr NSWindowStyleMask NSWindowStyleMaskTitled = 1 << 0;
inline constexpr NSWindowStyleMask NSWindowStyleMaskClosable = 1 << 1;
inline constexpr NSWindowStyleMask NSWindowStyleMaskMiniaturizable = 1 << 2;
inline constexpr NSWindowStyleMask NSWindowStyleMaskResizable = 1 << 3;
// A panel that can become key without activating its application.
inline constexpr NSWindowStyleMask NSWindowStyleMaskNonactivatingPanel = 1 << 7;

enum NSBackingStoreType : NSUInteger {
  NSBackingStoreRetained = 0,
  NSBackingStoreNonretained = 1,
  NSBackingStoreBuffered = 2,
};

typedef NSInteger NSWindowLevel;
inline constexpr NSWindowLevel NSNormalWindowLevel = 0;
inline constexpr NSWindowLevel NSFloatingWindowLevel = 3;

typedef NSUInteger NSWindowCollectionBehavior;
inline constexpr NSWindowCollectionBehavior NSWindowCollectionBehaviorDefault = 0;
inline constexpr NSWindowCollectionBehavior NSWindowCollectionBehaviorCanJoinAllSpaces = 1 << 0;
inline constexpr NSWindowCollectionBehavior NSWindowCollectionBehaviorStationary = 1 << 4;
inline constexpr NSWindowCollectionBehavior NSWindowCollectionBehaviorIgnoresCycle = 1 << 6;

class NSWindow : public NSObject {
 public:
  NSWindow();
  ~NSWindow() override;

  // Initialises the window with its content rectangle, style, backing store and defer flag on
  // `screen` (may be null). The window starts off screen, with an empty content view of the
  // content rectangle's size. Returns the window.
  NSWindow* initWithContentRect(CGRect content_rect, NSWindowStyleMask style,
                                NSBackingStoreType backing, BOOL defer, NSScreen* screen);

  CGRect frame() const { return frame_; }
  NSWindowStyleMask styleMask() const { return style_mask_; }
  NSBackingStoreType backingType() const { return backing_; }
  // The screen holding the largest part of the window, or null when it lies on none.
  NSScreen* screen() const;
  // The window server's number for the window: 1, 2, 3, ... in creation order.
  NSInteger windowNumber() const { return window_number_; }

  NSColor* backgroundColor() const { return background_color_; }
  void setBackgroundColor(NSColor* color);
  BOOL isOpaque() const { return opaque_; }
  void setOpaque(BOOL opaque) { opaque_ = opaque; }
  BOOL hasShadow() const { return has_shadow_; }
  void setHasShadow(BOOL has_shadow) { has_shadow_ = has_shadow; }
  NSWindowLevel level() const { return level_; }
  void setLevel(NSWindowLevel level);
  NSWindowCollectionBehavior collectionBehavior() const { return collection_behavior_; }
  void setCollectionBehavior(NSWindowCollectionBehavior behavior) {
    collection_behavior_ = behavior;
  }
  BOOL ignoresMouseEvents() const { return ignores_mouse_events_; }
  void setIgnoresMouseEvents(BOOL ignores) { ignores_mouse_events_ = ignores; }

  // The view that fills the content rectangle; the window keeps a reference and resizes the view
  // to the content rectangle.
  NSView* contentView() const { return content_view_; }
  void setContentView(NSView* view);

  // Puts the window on screen in front of every window of its level, whether or not the
  // application is active.
  void orderFrontRegardless();
  // Takes the window off screen; it keeps existing and can be ordered front again. `sender` is not
  // used.
  void orderOut(NSObject* sender);
  BOOL isVisible() const;

  BOOL isKeyWindow() const;
  BOOL isMainWindow() const;
  // Asked by the window server before it makes the window key or main. By default a window can
  // become key when it has a title bar or a resize bar, and main when it has a title bar.
  virtual BOOL canBecomeKeyWindow() const;
  virtual BOOL canBecomeMainWindow() const;

  // Stand-in only: what the window was created with.
  struct Creation {
    CGRect content_rect = CGRectZero;
    NSWindowStyleMask style_mask = 0;
    NSBackingStoreType backing = NSBackingStoreBuffered;
    BOOL defer = NO;
    NSScreen* screen = nullptr;  // the screen passed, not held: compare, don't dereference
  };
  const Creation& creation() const { return creation_; }

 private:
  CGRect frame_ = CGRectZero;
  NSWindowStyleMask style_mask_ = 0;
  NSBackingStoreType backing_ = NSBackingStoreBuffered;
  NSInteger window_number_ = 0;
  NSColor* background_color_ = nullptr;
  BOOL opaque_ = YES;
  BOOL has_shadow_ = YES;
  NSWindowLevel level_ = NSNormalWindowLevel;
  NSWindowCollectionBehavior collection_behavior_ = NSWindowCollectionBehaviorDefault;
  BOOL ignores_mouse_events_ = NO;
  NSView* content_view_ = nullptr;
  Creation creation_;
};

#endif  // PLATFORM_INCLUDE_APPKIT_NSWINDOW_H_
