#include "standin/privacy.h"

#include <mutex>

namespace standin {
namespace {

struct PrivacyState {
  std::mutex mutex;
  PermissionState microphone = PermissionState::kNotDetermined;
  PermissionState accessibility = PermissionState::kDenied;
  bool grant_microphone = true;
  bool grant_accessibility = true;
  std::vector<std::string> opened_panes;

  PermissionState& StateOf(Permission permission) {
    return permission == Permission::kMicrophone ? microphone : accessibility;
  }
  bool& AnswerOf(Permission permission) {
    return permission == Permission::kMicrophone ? grant_microphone : grant_accessibility;
  }
};

PrivacyState& State() {
  static auto* state = new PrivacyState();
  return *state;
}

}  // namespace

PermissionState GetPermissionState(Permission permission) {
  std::lock_guard lock(State().mutex);
  return State().StateOf(permission);
}

void SetPermissionState(Permission permission, PermissionState state) {
  std::lock_guard lock(State().mutex);
  State().StateOf(permission) = state;
}

void SetPromptAnswer(Permission permission, bool grant) {
  std::lock_guard lock(State().mutex);
  State().AnswerOf(permission) = grant;
}

PermissionState RequestPermissionFromUser(Permission permission) {
  std::lock_guard lock(State().mutex);
  PermissionState& state = State().StateOf(permission);
  if (state == PermissionState::kNotDetermined) {
    state = State().AnswerOf(permission) ? PermissionState::kGranted : PermissionState::kDenied;
  }
  return state;
}

void OpenSettingsPane(Permission permission) {
  std::lock_guard lock(State().mutex);
  State().opened_panes.push_back(permission == Permission::kMicrophone ? "Privacy_Microphone"
                                                                       : "Privacy_Accessibility");
}

std::vector<std::string> OpenedSettingsPanes() {
  std::lock_guard lock(State().mutex);
  return State().opened_panes;
}

void ResetPrivacy() {
  std::lock_guard lock(State().mutex);
  State().microphone = PermissionState::kNotDetermined;
  State().accessibility = PermissionState::kDenied;
  State().grant_microphone = true;
  State().grant_accessibility = true;
  State().opened_panes.clear();
}

}  // namespace standin
