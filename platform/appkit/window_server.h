// The window server: the windows of this process, the on-screen order, and the key and main
// windows. Main thread only.
#ifndef PLATFORM_APPKIT_WINDOW_SERVER_H_
#define PLATFORM_APPKIT_WINDOW_SERVER_H_

#include <AppKit/NSWindow.h>

#include <vector>

namespace appkit {

class WindowServer {
 public:
  static WindowServer& Get();

  // A new window's number; the window is listed until Forget.
  NSInteger Register(NSWindow* window);
  void Forget(NSWindow* window);

  // Puts `window` in front of its level (holding a reference while it is on screen), then offers
  // it key and main status.
  void OrderFront(NSWindow* window);
  void OrderOut(NSWindow* window);
  // Re-sorts an on-screen window whose level changed.
  void LevelChanged(NSWindow* window);

  bool IsOnScreen(const NSWindow* window) const;
  const std::vector<NSWindow*>& on_screen() const { return on_screen_; }
  const std::vector<NSWindow*>& all() const { return all_; }
  NSWindow* key() const { return key_; }
  NSWindow* main() const { return main_; }

 private:
  void Insert(NSWindow* window);

  NSInteger next_number_ = 1;
  std::vector<NSWindow*> all_;        // creation order, not held
  std::vector<NSWindow*> on_screen_;  // front to back, each held
  NSWindow* key_ = nullptr;
  NSWindow* main_ = nullptr;
};

}  // namespace appkit

#endif  // PLATFORM_APPKIT_WINDOW_SERVER_H_
