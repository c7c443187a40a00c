// The simulated system's privacy settings: the microphone permission and the accessibility trust of
// the running application, the answer the user gives when the system asks, and the settings panes
// that were opened. Arranged and read by tests and by the engine stand-in's host services.
// Threads: every function may be called from any thread.
#ifndef PLATFORM_INCLUDE_STANDIN_PRIVACY_H_
#define PLATFORM_INCLUDE_STANDIN_PRIVACY_H_

#include <string>
#include <vector>

namespace standin {

enum class Permission { kMicrophone, kAccessibility };
enum class PermissionState { kNotDetermined, kGranted, kDenied };

PermissionState GetPermissionState(Permission permission);
void SetPermissionState(Permission permission, PermissionState state);

// What the user answers when the system asks for a permission that is not determined yet.
void SetPromptAnswer(Permission permission, bool grant);

// Asks the user for `permission` as the system would: a permission not determined yet takes the
// prompt's answer; a determined one is left as it is. Returns the state afterwards.
PermissionState RequestPermissionFromUser(Permission permission);

// Opens the system settings at the pane of `permission`, as the settings application would.
void OpenSettingsPane(Permission permission);
// The panes opened so far, in order, by their platform identifiers
// ("Privacy_Microphone", "Privacy_Accessibility").
std::vector<std::string> OpenedSettingsPanes();

// Back to the initial state: microphone not determined, accessibility denied, prompts granting, no
// pane opened.
void ResetPrivacy();

}  // namespace standin

#endif  // PLATFORM_INCLUDE_STANDIN_PRIVACY_H_
