#include "window_directives.h"

#include <AppKit/AppKit.h>
#include <QuartzCore/QuartzCore.h>
#include <cxxabi.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "main_thread.h"
#include "session.h"
#include "standin/screens.h"
#include "standin/screenshot.h"
#include "standin/windows.h"

namespace engine {
namespace {

std::string& ScreenshotDirectory() {
  static auto* directory = new std::string();
  return *directory;
}

std::string ClassName(const NSObject* object) {
  int status = 0;
  std::unique_ptr<char, decltype(&std::free)> name(
      abi::__cxa_demangle(typeid(*object).name(), nullptr, nullptr, &status), &std::free);
  return status == 0 && name ? name.get() : typeid(*object).name();
}

std::string Rect(CGRect rect) {
  std::ostringstream text;
  text << "(" << rect.origin.x << ", " << rect.origin.y << ", " << rect.size.width << ", "
       << rect.size.height << ")";
  return text.str();
}

// The texts of the labels in `view` and below it, in order.
void CollectLabels(NSView* view, std::vector<std::string>* labels) {
  if (auto* field = dynamic_cast<NSTextField*>(view);
      field != nullptr && field->stringValue() != nullptr) {
    labels->push_back(field->stringValue()->UTF8String());
  }
  for (NSView* subview : view->subviewList()) CollectLabels(subview, labels);
}

// The animation keys of `layer` and its sublayers.
void CollectAnimations(CALayer* layer, std::vector<std::string>* keys) {
  if (layer == nullptr) return;
  if (NSArray* names = layer->animationKeys(); names != nullptr) {
    for (NSUInteger i = 0; i < names->count(); ++i) {
      keys->push_back(static_cast<NSString*>(names->objectAtIndex(i))->UTF8String());
    }
  }
  if (NSArray* sublayers = layer->sublayers(); sublayers != nullptr) {
    for (NSUInteger i = 0; i < sublayers->count(); ++i) {
      CollectAnimations(static_cast<CALayer*>(sublayers->objectAtIndex(i)), keys);
    }
  }
}

std::string DescribeWindow(NSWindow* window) {
  std::ostringstream text;
  text << ClassName(window) << " frame " << Rect(window->frame()) << " level " << window->level();
  if (window->ignoresMouseEvents()) text << ", click-through";
  text << (window->isKeyWindow() ? ", key" : ", not key");
  text << (window->isMainWindow() ? ", main" : ", not main");
  if (NSView* content = window->contentView(); content != nullptr) {
    std::vector<std::string> labels;
    CollectLabels(content, &labels);
    for (const std::string& label : labels) text << ", \"" << label << "\"";
    std::vector<std::string> animations;
    CollectAnimations(content->layer(), &animations);
    if (!animations.empty()) {
      text << ", animating";
      for (const std::string& key : animations) text << " " << key;
    }
  }
  return text.str();
}

// One screen: WxH[+X+Y][ menubar=N][ dock=N].
bool ParseScreen(std::string_view text, standin::ScreenSpec* screen) {
  std::istringstream words{std::string(text)};
  std::string geometry;
  if (!(words >> geometry)) return false;
  double width = 0, height = 0, x = 0, y = 0;
  char separator = 0;
  std::istringstream size(geometry);
  if (!(size >> width >> separator) || separator != 'x' || !(size >> height) || width <= 0 ||
      height <= 0) {
    return false;
  }
  if (size.peek() == '+') {
    char plus = 0;
    if (!(size >> plus >> x >> plus >> y)) return false;
  }
  if (!size.eof() && size.peek() != std::char_traits<char>::eof()) return false;
  double menu_bar = 0, dock = 0;
  for (std::string option; words >> option;) {
    const size_t equals = option.find('=');
    if (equals == std::string::npos) return false;
    const std::string name = option.substr(0, equals);
    char* end = nullptr;
    const double value = std::strtod(option.c_str() + equals + 1, &end);
    if (*end != '\0' || value < 0) return false;
    if (name == "menubar") {
      menu_bar = value;
    } else if (name == "dock") {
      dock = value;
    } else {
      return false;
    }
  }
  *screen = standin::ScreenWithBars(CGRectMake(x, y, width, height), menu_bar, dock);
  return true;
}

}  // namespace

void SetScreenshotDirectory(const std::string& directory) { ScreenshotDirectory() = directory; }

bool ArrangeScreens(Session& session, std::string_view arguments, std::string* error) {
  std::vector<standin::ScreenSpec> screens;
  if (arguments != "none") {
    std::string all(arguments);
    std::istringstream parts(all);
    for (std::string part; std::getline(parts, part, ';');) {
      standin::ScreenSpec screen;
      if (!ParseScreen(part, &screen)) {
        *error = "bad screen '" + part +
                 "': usage: screens <none | WxH[+X+Y][ menubar=N][ dock=N] [; ...]>";
        return false;
      }
      screens.push_back(screen);
    }
  }
  standin::ArrangeScreens(screens);
  if (screens.empty()) session.out() << "no screens\n";
  for (const standin::ScreenSpec& screen : screens) {
    session.out() << "screen " << Rect(screen.frame) << ", visible " << Rect(screen.visible_frame)
                  << "\n";
  }
  return true;
}

bool ShowWindows(Session& session, std::string*) {
  std::vector<std::string> lines;
  RunOnMainThreadAndWait([&] {
    for (NSWindow* window : standin::OnScreenWindows()) lines.push_back(DescribeWindow(window));
  });
  if (lines.empty()) session.out() << "no windows on screen\n";
  for (const std::string& line : lines) session.out() << "window: " << line << "\n";
  return true;
}

bool Screenshot(Session& session, std::string_view arguments, std::string* error) {
  static constexpr char kUsage[] = "usage: screenshot <file.png> [at <seconds>] [region X,Y,W,H]";
  std::istringstream words{std::string(arguments)};
  std::string path;
  if (!(words >> path)) {
    *error = kUsage;
    return false;
  }
  double seconds = 0;
  std::optional<CGRect> region;
  for (std::string option; words >> option;) {
    double x = 0, y = 0, width = 0, height = 0;
    char comma1 = 0, comma2 = 0, comma3 = 0;
    if (option == "at" && words >> seconds) continue;
    if (option == "region" && words >> x >> comma1 >> y >> comma2 >> width >> comma3 >> height &&
        comma1 == ',' && comma2 == ',' && comma3 == ',' && width > 0 && height > 0) {
      region = CGRectMake(x, y, width, height);
      continue;
    }
    *error = kUsage;
    return false;
  }
  if (path.front() != '/') {
    std::string directory = ScreenshotDirectory();
    if (directory.empty()) {
      char working[PATH_MAX];
      directory = getcwd(working, sizeof working) != nullptr ? working : ".";
    }
    path = directory + "/" + path;
  }
  bool written = false;
  RunOnMainThreadAndWait([&] {
    standin::ScreenshotOptions options;
    options.scale = 2;
    options.region = region;
    // Animations are drawn as they will be `seconds` from now.
    options.time = CACurrentMediaTime() + seconds;
    written = standin::WriteScreenshot(path, options, error);
  });
  if (!written) return false;
  session.out() << "screenshot: " << path << "\n";
  return true;
}

}  // namespace engine
