#include <CoreGraphics/CGEvent.h>
#include <Foundation/NSObject.h>

#include "desktop/desktop_state.h"
#include "standin/desktop.h"

// An event is a platform object like any other, so CFRelease gives it up and a forgotten one stays
// among the live objects.
class CGEvent : public NSObject {
 public:
  CGEvent(CGEventType type, CGKeyCode key_code, CGEventFlags flags)
      : type_(type), key_code_(key_code), flags_(flags) {}

  CGEventType type() const { return type_; }
  CGKeyCode key_code() const { return key_code_; }
  CGEventFlags flags() const { return flags_; }
  void set_flags(CGEventFlags flags) { flags_ = flags; }

 private:
  const CGEventType type_;
  const CGKeyCode key_code_;
  CGEventFlags flags_;
};

extern "C" CGEventRef CGEventCreateKeyboardEvent(CGEventSourceRef /*source*/, CGKeyCode virtualKey,
                                                 bool keyDown) {
  if (standin::internal::TakeEventCreationFailure()) return nullptr;
  return new CGEvent(keyDown ? kCGEventKeyDown : kCGEventKeyUp, virtualKey,
                     standin::HeldModifierKeys());
}

extern "C" void CGEventSetFlags(CGEventRef event, CGEventFlags flags) {
  if (event != nullptr) event->set_flags(flags);
}

extern "C" void CGEventPost(CGEventTapLocation tap, CGEventRef event) {
  if (event == nullptr) return;
  standin::internal::PostToInputStream(event->type(), event->key_code(), event->flags(), tap);
}
