#include <AppKit/NSScreen.h>

#include <mutex>

#include "standin/screens.h"

namespace {

struct Desktop {
  std::mutex mutex;
  std::vector<NSScreen*> screens;  // Guarded by mutex; each held.
  std::optional<size_t> main;      // Guarded by mutex.
};

Desktop& TheDesktop() {
  static auto* desktop = new Desktop();
  return *desktop;
}

}  // namespace

NSScreen* NSScreen::mainScreen() {
  Desktop& desktop = TheDesktop();
  std::lock_guard lock(desktop.mutex);
  if (!desktop.main || *desktop.main >= desktop.screens.size()) return nullptr;
  return NSAutorelease(NSRetain(desktop.screens[*desktop.main]));
}

NSArray* NSScreen::screens() {
  Desktop& desktop = TheDesktop();
  std::lock_guard lock(desktop.mutex);
  return NSAutorelease(
      new NSArray(std::vector<NSObject*>(desktop.screens.begin(), desktop.screens.end())));
}

NSScreen::NSScreen(CGRect frame, CGRect visible_frame)
    : frame_(frame), visible_frame_(visible_frame) {}

namespace standin {

ScreenSpec ScreenWithBars(CGRect frame, CGFloat menu_bar, CGFloat dock) {
  return ScreenSpec{frame, CGRectMake(frame.origin.x, frame.origin.y + dock, frame.size.width,
                                      frame.size.height - menu_bar - dock)};
}

void ArrangeScreens(std::vector<ScreenSpec> screens, std::optional<size_t> main_screen) {
  std::vector<NSScreen*> made;
  for (const ScreenSpec& screen : screens)
    made.push_back(new NSScreen(screen.frame, screen.visible_frame));
  Desktop& desktop = TheDesktop();
  std::vector<NSScreen*> old;
  {
    std::lock_guard lock(desktop.mutex);
    old.swap(desktop.screens);
    desktop.screens = std::move(made);
    desktop.main = main_screen;
  }
  for (NSScreen* screen : old) screen->release();
}

std::vector<ScreenSpec> Screens() {
  Desktop& desktop = TheDesktop();
  std::lock_guard lock(desktop.mutex);
  std::vector<ScreenSpec> specs;
  for (const NSScreen* screen : desktop.screens) {
    specs.push_back({screen->frame(), screen->visibleFrame()});
  }
  return specs;
}

std::optional<size_t> MainScreenIndex() {
  Desktop& desktop = TheDesktop();
  std::lock_guard lock(desktop.mutex);
  if (desktop.main && *desktop.main < desktop.screens.size()) return desktop.main;
  return std::nullopt;
}

}  // namespace standin
