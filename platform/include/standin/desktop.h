// Test- and engine-facing API of the simulated desktop: the running applications, which of them is
// frontmost (and so has keyboard focus), the clipboard, the modifier keys the user physically
// holds, the system input stream and the activation requests applications receive.
//
// The platform calls act on this desktop: CGEventCreateKeyboardEvent reads the held modifier keys,
// CGEventPost appends to the input stream and delivers to the focused application, NSWorkspace and
// NSRunningApplication read the applications and send them activation requests.
//
// Every application keeps a text document of its own. When a key-down of kVK_ANSI_V whose modifier
// flags are Command alone (Shift, Control and Option not set) reaches it, it appends the
// clipboard's text to that document, as a text editor pastes.
//
// Threads: every function here may be called from any thread; the desktop is one process-wide state
// behind one lock.
#ifndef PLATFORM_INCLUDE_STANDIN_DESKTOP_H_
#define PLATFORM_INCLUDE_STANDIN_DESKTOP_H_

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

#include "CoreGraphics/CGEvent.h"

namespace standin {

// What to start: both the bundle identifier and the display name may be absent.
struct ApplicationSpec {
  std::optional<std::string> bundle_identifier;
  std::optional<std::string> name;
};

// A running application as the desktop sees it.
struct RunningApplication {
  pid_t process_identifier = 0;
  std::optional<std::string> bundle_identifier;
  std::optional<std::string> name;
  bool refuses_activation = false;
  std::string document;
};

// Starts an application and returns its process identifier (1001, 1002, ... in launch order, never
// reused until ResetDesktop). It does not come to the front by itself.
pid_t LaunchApplication(ApplicationSpec application);

// Ends the application; when it was frontmost, no application is frontmost afterwards. False when
// no application runs under `pid`.
bool QuitApplication(pid_t pid);

// Brings the application to the front, which gives it keyboard focus, as the user clicking it
// would. False when no application runs under `pid`.
bool FocusApplication(pid_t pid);

// Leaves the desktop without a frontmost application.
void ClearFocus();

// The frontmost application, which is also the one with keyboard focus; nullopt when there is none.
std::optional<pid_t> FrontmostApplication();

// The running applications in launch order.
std::vector<RunningApplication> RunningApplications();

// An application set to refuse ignores activation requests (they are still recorded). False when no
// application runs under `pid`.
bool SetRefusesActivation(pid_t pid, bool refuses);

// The clipboard's text; empty when the clipboard holds nothing.
void SetClipboardText(std::string text);
std::string ClipboardText();

// The modifier keys the user holds down right now, as event flags (kCGEventFlagMaskShift and so
// on); 0 releases every key. New keyboard events carry these flags.
void HoldModifierKeys(CGEventFlags flags);
CGEventFlags HeldModifierKeys();

// The next `count` calls of CGEventCreateKeyboardEvent fail and return null.
void FailNextEventCreations(int count);

// One event as it entered the input stream.
struct InputEvent {
  CGEventType type = 0;
  CGKeyCode key_code = 0;
  CGEventFlags flags = 0;
  CGEventTapLocation tap = kCGHIDEventTap;
  pid_t delivered_to = 0;  // 0: no application had keyboard focus
  bool operator==(const InputEvent&) const = default;
};

// Every event posted since the start (or the last ResetDesktop), in posting order.
std::vector<InputEvent> InputStream();

// One line for an event, such as "keyDown 9 flags=0x00100000 -> 1001" (or "-> none").
std::string Describe(const InputEvent& event);

// The application's document; empty when no application runs under `pid`.
std::string DocumentText(pid_t pid);

// One activateWithOptions: call as the application received it.
struct ActivationRequest {
  pid_t process_identifier = 0;
  unsigned long options = 0;
  // Whether the application came to the front: false when it refused or had quit, or when it was
  // asked without NSApplicationActivateIgnoringOtherApps while another application was frontmost.
  bool honoured = false;
  bool operator==(const ActivationRequest&) const = default;
};

// Every activation request since the start (or the last ResetDesktop), in order.
std::vector<ActivationRequest> ActivationRequests();

// Back to the empty desktop: no applications, empty clipboard, no keys held, empty input stream
// and activation log, no pending creation failures, process identifiers from 1001 again.
void ResetDesktop();

}  // namespace standin

#endif  // PLATFORM_INCLUDE_STANDIN_DESKTOP_H_
