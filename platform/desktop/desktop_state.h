// The simulated desktop as the platform calls see it: the events and workspace areas read and
// change the desktop only through these functions. The test-facing side is standin/desktop.h.
//
// Threads: every function may be called from any thread.
#ifndef PLATFORM_DESKTOP_DESKTOP_STATE_H_
#define PLATFORM_DESKTOP_DESKTOP_STATE_H_

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CoreGraphics/CGEvent.h"

namespace standin::internal {

// What a running-application object is made from.
struct ApplicationFacts {
  pid_t process_identifier = 0;
  std::optional<std::string> bundle_identifier;
  std::optional<std::string> name;
};

std::optional<ApplicationFacts> FrontmostApplicationFacts();

// The running applications carrying exactly `bundle_identifier`, in launch order.
std::vector<ApplicationFacts> ApplicationsWithBundleIdentifier(std::string_view bundle_identifier);

// Records the request and brings the application to the front if it accepts; returns whether it
// did.
bool RequestActivation(pid_t process_identifier, unsigned long options);

// True when this creation is one of the failures arranged by FailNextEventCreations (and uses it
// up).
bool TakeEventCreationFailure();

// Appends the event to the input stream and delivers it to the application with keyboard focus.
void PostToInputStream(CGEventType type, CGKeyCode key_code, CGEventFlags flags,
                       CGEventTapLocation tap);

}  // namespace standin::internal

#endif  // PLATFORM_DESKTOP_DESKTOP_STATE_H_
