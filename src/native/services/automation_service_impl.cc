#include "services/automation_service_impl.h"

#include <Carbon/Carbon.h>
#include <CoreGraphics/CoreGraphics.h>

#include <utility>

namespace {

// Posts one V key event with Command as its only modifier. A new event carries the modifier keys
// the user holds at this moment; replacing them keeps a held Shift or Option out of the shortcut.
// An event the platform cannot create is skipped.
void PostCommandV(bool key_down) {
  CGEventRef event = CGEventCreateKeyboardEvent(nullptr, kVK_ANSI_V, key_down);
  if (event == nullptr) return;
  CGEventSetFlags(event, kCGEventFlagMaskCommand);
  CGEventPost(kCGHIDEventTap, event);
  CFRelease(event);
}

}  // namespace

void AutomationServiceImpl::Paste(const google::protobuf::Empty* /*request*/,
                                  kz::rpc::Callback<google::protobuf::Empty> callback) {
  PostCommandV(true);
  PostCommandV(false);
  std::move(callback).Complete(google::protobuf::Empty());
}
