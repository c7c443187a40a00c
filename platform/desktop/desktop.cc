#include "standin/desktop.h"

#include <AppKit/NSRunningApplication.h>
#include <HIToolbox/Events.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <mutex>
#include <utility>

#include "desktop/desktop_state.h"

namespace standin {
namespace {

constexpr pid_t kFirstProcessIdentifier = 1001;

// The modifier keys that change what a key means to an application; Caps Lock does not.
constexpr CGEventFlags kShortcutModifiers = kCGEventFlagMaskShift | kCGEventFlagMaskControl |
                                            kCGEventFlagMaskAlternate | kCGEventFlagMaskCommand;

struct Desktop {
  std::mutex mutex;
  std::vector<RunningApplication> applications;  // launch order
  std::optional<pid_t> frontmost;
  std::string clipboard;
  CGEventFlags held_modifiers = 0;
  int creation_failures = 0;
  std::vector<InputEvent> input_stream;
  std::vector<ActivationRequest> activations;
  pid_t next_process_identifier = kFirstProcessIdentifier;

  RunningApplication* Find(pid_t pid) {
    auto it = std::find_if(
        applications.begin(), applications.end(),
        [pid](const RunningApplication& app) { return app.process_identifier == pid; });
    return it == applications.end() ? nullptr : &*it;
  }

  // What an application does with a key that reaches it: Command-V pastes the clipboard.
  void Deliver(RunningApplication& app, const InputEvent& event) {
    if (event.type == kCGEventKeyDown && event.key_code == kVK_ANSI_V &&
        (event.flags & kShortcutModifiers) == kCGEventFlagMaskCommand) {
      app.document += clipboard;
    }
  }
};

// Lives for the whole process: platform calls may come from any thread until the very end.
Desktop& TheDesktop() {
  static auto* desktop = new Desktop();
  return *desktop;
}

internal::ApplicationFacts FactsOf(const RunningApplication& app) {
  return {app.process_identifier, app.bundle_identifier, app.name};
}

}  // namespace

pid_t LaunchApplication(ApplicationSpec application) {
  Desktop& desktop = TheDesktop();
  std::lock_guard lock(desktop.mutex);
  RunningApplication app;
  app.process_identifier = desktop.next_process_identifier++;
  app.bundle_identifier = std::move(application.bundle_identifier);
  app.name = std::move(application.name);
  desktop.applications.push_back(std::move(app));
  return desktop.applications.back().process_identifier;
}

bool QuitApplication(pid_t pid) {
  Desktop& desktop = TheDesktop();
  std::lock_guard lock(desktop.mutex);
  const auto removed = std::erase_if(desktop.applications, [pid](const RunningApplication& app) {
    return app.process_identifier == pid;
  });
  if (desktop.frontmost == pid) desktop.frontmost.reset();
  return removed != 0;
}

bool FocusApplication(pid_t pid) {
  Desktop& desktop = TheDesktop();
  std::lock_guard lock(desktop.mutex);
  if (desktop.Find(pid) == nullptr) return false;
  desktop.frontmost = pid;
  return true;
}

void ClearFocus() {
  Desktop& desktop = TheDesktop();
  std::lock_guard lock(desktop.mutex);
  desktop.frontmost.reset();
}

std::optional<pid_t> FrontmostApplication() {
  Desktop& desktop = TheDesktop();
  std::lock_guard lock(desktop.mutex);
  return desktop.frontmost;
}

std::vector<RunningApplication> RunningApplications() {
  Desktop& desktop = TheDesktop();
  std::lock_guard lock(desktop.mutex);
  return desktop.applications;
}

bool SetRefusesActivation(pid_t pid, bool refuses) {
  Desktop& desktop = TheDesktop();
  std::lock_guard lock(desktop.mutex);
  RunningApplication* app = desktop.Find(pid);
  if (app == nullptr) return false;
  app->refuses_activation = refuses;
  return true;
}

void SetClipboardText(std::string text) {
  Desktop& desktop = TheDesktop();
  std::lock_guard lock(desktop.mutex);
  desktop.clipboard = std::move(text);
}

std::string ClipboardText() {
  Desktop& desktop = TheDesktop();
  std::lock_guard lock(desktop.mutex);
  return desktop.clipboard;
}

void HoldModifierKeys(CGEventFlags flags) {
  Desktop& desktop = TheDesktop();
  std::lock_guard lock(desktop.mutex);
  desktop.held_modifiers = flags;
}

CGEventFlags HeldModifierKeys() {
  Desktop& desktop = TheDesktop();
  std::lock_guard lock(desktop.mutex);
  return desktop.held_modifiers;
}

void FailNextEventCreations(int count) {
  Desktop& desktop = TheDesktop();
  std::lock_guard lock(desktop.mutex);
  desktop.creation_failures = std::max(count, 0);
}

std::vector<InputEvent> InputStream() {
  Desktop& desktop = TheDesktop();
  std::lock_guard lock(desktop.mutex);
  return desktop.input_stream;
}

std::string Describe(const InputEvent& event) {
  const char* type = event.type == kCGEventKeyDown ? "keyDown"
                     : event.type == kCGEventKeyUp ? "keyUp"
                                                   : "event";
  char line[128];
  if (event.delivered_to == 0) {
    std::snprintf(line, sizeof line, "%s %u flags=0x%08" PRIx64 " -> none", type,
                  unsigned{event.key_code}, event.flags);
  } else {
    std::snprintf(line, sizeof line, "%s %u flags=0x%08" PRIx64 " -> %d", type,
                  unsigned{event.key_code}, event.flags, static_cast<int>(event.delivered_to));
  }
  return line;
}

std::string DocumentText(pid_t pid) {
  Desktop& desktop = TheDesktop();
  std::lock_guard lock(desktop.mutex);
  const RunningApplication* app = desktop.Find(pid);
  return app == nullptr ? std::string() : app->document;
}

std::vector<ActivationRequest> ActivationRequests() {
  Desktop& desktop = TheDesktop();
  std::lock_guard lock(desktop.mutex);
  return desktop.activations;
}

void ResetDesktop() {
  Desktop& desktop = TheDesktop();
  std::lock_guard lock(desktop.mutex);
  desktop.applications.clear();
  desktop.frontmost.reset();
  desktop.clipboard.clear();
  desktop.held_modifiers = 0;
  desktop.creation_failures = 0;
  desktop.input_stream.clear();
  desktop.activations.clear();
  desktop.next_process_identifier = kFirstProcessIdentifier;
}

namespace internal {

std::optional<ApplicationFacts> FrontmostApplicationFacts() {
  Desktop& desktop = TheDesktop();
  std::lock_guard lock(desktop.mutex);
  if (!desktop.frontmost) return std::nullopt;
  return FactsOf(*desktop.Find(*desktop.frontmost));
}

std::vector<ApplicationFacts> ApplicationsWithBundleIdentifier(std::string_view bundle_identifier) {
  Desktop& desktop = TheDesktop();
  std::lock_guard lock(desktop.mutex);
  std::vector<ApplicationFacts> matching;
  for (const RunningApplication& app : desktop.applications) {
    if (app.bundle_identifier == bundle_identifier) matching.push_back(FactsOf(app));
  }
  return matching;
}

bool RequestActivation(pid_t process_identifier, unsigned long options) {
  Desktop& desktop = TheDesktop();
  std::lock_guard lock(desktop.mutex);
  const RunningApplication* app = desktop.Find(process_identifier);
  const bool other_is_active = desktop.frontmost && desktop.frontmost != process_identifier;
  const bool honoured =
      app != nullptr && !app->refuses_activation &&
      (!other_is_active || (options & NSApplicationActivateIgnoringOtherApps) != 0);
  if (honoured) desktop.frontmost = process_identifier;
  desktop.activations.push_back({process_identifier, options, honoured});
  return honoured;
}

bool TakeEventCreationFailure() {
  Desktop& desktop = TheDesktop();
  std::lock_guard lock(desktop.mutex);
  if (desktop.creation_failures == 0) return false;
  --desktop.creation_failures;
  return true;
}

void PostToInputStream(CGEventType type, CGKeyCode key_code, CGEventFlags flags,
                       CGEventTapLocation tap) {
  Desktop& desktop = TheDesktop();
  std::lock_guard lock(desktop.mutex);
  InputEvent event{type, key_code, flags, tap, desktop.frontmost.value_or(0)};
  desktop.input_stream.push_back(event);
  if (desktop.frontmost) desktop.Deliver(*desktop.Find(*desktop.frontmost), event);
}

}  // namespace internal
}  // namespace standin
