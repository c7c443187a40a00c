// The session directives that arrange and observe the window system: screens, the on-screen windows
// and screenshots.
#ifndef ENGINE_WINDOW_DIRECTIVES_H_
#define ENGINE_WINDOW_DIRECTIVES_H_

#include <string>
#include <string_view>

namespace engine {

class Session;

// screens <none | WxH[+X+Y][ menubar=N][ dock=N] [; ...]>: the first screen is the main screen.
bool ArrangeScreens(Session& session, std::string_view arguments, std::string* error);

// show windows: the on-screen windows, front to back.
bool ShowWindows(Session& session, std::string* error);

// screenshot <file.png> [at <seconds>] [region X,Y,W,H]: draws the screens (or that region of the
// desktop) with their windows, animations as they will be that many seconds from now. A relative
// path is taken in the screenshot directory.
bool Screenshot(Session& session, std::string_view arguments, std::string* error);

// The directory for relative screenshot paths; the working directory until set.
void SetScreenshotDirectory(const std::string& directory);

}  // namespace engine

#endif  // ENGINE_WINDOW_DIRECTIVES_H_
