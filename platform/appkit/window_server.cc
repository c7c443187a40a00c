#include "window_server.h"

#include <algorithm>

#include "main_thread_check.h"
#include "standin/desktop.h"
#include "standin/windows.h"

namespace appkit {

WindowServer& WindowServer::Get() {
  static auto* server = new WindowServer();
  return *server;
}

NSInteger WindowServer::Register(NSWindow* window) {
  all_.push_back(window);
  return next_number_++;
}

void WindowServer::Forget(NSWindow* window) {
  std::erase(all_, window);
  if (key_ == window) key_ = nullptr;
  if (main_ == window) main_ = nullptr;
}

void WindowServer::Insert(NSWindow* window) {
  // In front of every window of the same or a lower level, behind the higher ones.
  auto it = std::find_if(on_screen_.begin(), on_screen_.end(),
                         [&](const NSWindow* other) { return other->level() <= window->level(); });
  on_screen_.insert(it, window);
}

void WindowServer::OrderFront(NSWindow* window) {
  auto it = std::find(on_screen_.begin(), on_screen_.end(), window);
  if (it == on_screen_.end()) {
    window->retain();
  } else {
    on_screen_.erase(it);
  }
  Insert(window);
  if (window->canBecomeKeyWindow() && key_ != window) {
    key_ = window;
    // Keyboard input now goes to this process: no application of the desktop has it any more.
    standin::ClearFocus();
  }
  if (window->canBecomeMainWindow()) main_ = window;
}

void WindowServer::OrderOut(NSWindow* window) {
  auto it = std::find(on_screen_.begin(), on_screen_.end(), window);
  if (it == on_screen_.end()) return;
  on_screen_.erase(it);
  if (key_ == window) key_ = nullptr;
  if (main_ == window) main_ = nullptr;
  window->release();
}

void WindowServer::LevelChanged(NSWindow* window) {
  auto it = std::find(on_screen_.begin(), on_screen_.end(), window);
  if (it == on_screen_.end()) return;
  on_screen_.erase(it);
  Insert(window);
}

bool WindowServer::IsOnScreen(const NSWindow* window) const {
  return std::find(on_screen_.begin(), on_screen_.end(), window) != on_screen_.end();
}

}  // namespace appkit

namespace standin {

std::vector<NSWindow*> OnScreenWindows() {
  appkit::RequireMainThread("standin::OnScreenWindows");
  return appkit::WindowServer::Get().on_screen();
}

std::vector<NSWindow*> AllWindows() {
  appkit::RequireMainThread("standin::AllWindows");
  return appkit::WindowServer::Get().all();
}

NSWindow* KeyWindow() {
  appkit::RequireMainThread("standin::KeyWindow");
  return appkit::WindowServer::Get().key();
}

NSWindow* MainWindow() {
  appkit::RequireMainThread("standin::MainWindow");
  return appkit::WindowServer::Get().main();
}

}  // namespace standin
