#include "directives.h"

#include <cstdio>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "permissions_probe.h"
#include "session.h"
#include "standin/desktop.h"
#include "standin/privacy.h"
#include "window_directives.h"

namespace engine {
namespace {

std::vector<std::string> Words(std::string_view text) {
  std::vector<std::string> words;
  std::istringstream stream{std::string(text)};
  for (std::string word; stream >> word;) words.push_back(word);
  return words;
}

std::string Hex(std::string_view bytes) {
  std::string hex;
  char digits[4];
  for (unsigned char byte : bytes) {
    std::snprintf(digits, sizeof digits, "%02x", byte);
    hex += digits;
  }
  return hex;
}

bool Unhex(std::string_view hex, std::string* bytes) {
  std::string digits;
  for (char c : hex) {
    if (c != ' ') digits += c;
  }
  if (digits.size() % 2 != 0) return false;
  bytes->clear();
  for (size_t i = 0; i < digits.size(); i += 2) {
    unsigned int byte = 0;
    if (std::sscanf(digits.substr(i, 2).c_str(), "%2x", &byte) != 1) return false;
    bytes->push_back(static_cast<char>(byte));
  }
  return true;
}

std::string Optional(const std::optional<std::string>& text) { return text ? *text : "-"; }

// The application that `name` designates: a process identifier, a bundle identifier or a name.
std::optional<pid_t> FindApplication(std::string_view name) {
  for (const standin::RunningApplication& app : standin::RunningApplications()) {
    if (std::to_string(app.process_identifier) == name || app.bundle_identifier == name ||
        app.name == name) {
      return app.process_identifier;
    }
  }
  return std::nullopt;
}

bool NeedApplication(std::string_view arguments, pid_t* pid, std::string* error) {
  std::optional<pid_t> found = FindApplication(arguments);
  if (!found) {
    *error = "no running application '" + std::string(arguments) + "'";
    return false;
  }
  *pid = *found;
  return true;
}

// start <bundle-id or -> [name or -]: the name is the rest of the line and may contain blanks.
bool Start(Session& session, std::string_view arguments, std::string* error) {
  std::vector<std::string> words = Words(arguments);
  if (words.empty()) {
    *error = "usage: start <bundle-id or -> [<name> or -]";
    return false;
  }
  standin::ApplicationSpec application;
  if (words[0] != "-") application.bundle_identifier = words[0];
  const size_t name_start = arguments.find(words[0]) + words[0].size();
  const std::string name = words.size() > 1 ? std::string(arguments.substr(name_start)) : "";
  const size_t first = name.find_first_not_of(' ');
  if (first != std::string::npos && name.substr(first) != "-")
    application.name = name.substr(first);
  const pid_t pid = standin::LaunchApplication(application);
  session.out() << "started " << Optional(application.name) << " ("
                << Optional(application.bundle_identifier) << ") as process " << pid << "\n";
  return true;
}

bool Quit(Session& session, std::string_view arguments, std::string* error) {
  pid_t pid = 0;
  if (!NeedApplication(arguments, &pid, error)) return false;
  standin::QuitApplication(pid);
  session.out() << "quit process " << pid << "\n";
  return true;
}

bool Focus(Session& session, std::string_view arguments, std::string* error) {
  if (arguments == "none") {
    standin::ClearFocus();
    session.out() << "no application is frontmost\n";
    return true;
  }
  pid_t pid = 0;
  if (!NeedApplication(arguments, &pid, error)) return false;
  standin::FocusApplication(pid);
  session.out() << "process " << pid << " is frontmost\n";
  return true;
}

bool Refuse(Session& session, std::string_view arguments, std::string* error) {
  pid_t pid = 0;
  if (!NeedApplication(arguments, &pid, error)) return false;
  standin::SetRefusesActivation(pid, true);
  session.out() << "process " << pid << " refuses activation\n";
  return true;
}

bool Clipboard(Session& session, std::string_view arguments, std::string*) {
  standin::SetClipboardText(std::string(arguments));
  session.out() << "clipboard holds \"" << arguments << "\"\n";
  return true;
}

bool Hold(Session& session, std::string_view arguments, std::string* error) {
  CGEventFlags flags = 0;
  for (const std::string& key : Words(arguments)) {
    if (key == "shift") {
      flags |= kCGEventFlagMaskShift;
    } else if (key == "control") {
      flags |= kCGEventFlagMaskControl;
    } else if (key == "option") {
      flags |= kCGEventFlagMaskAlternate;
    } else if (key == "command") {
      flags |= kCGEventFlagMaskCommand;
    } else if (key != "none") {
      *error = "unknown modifier key '" + key + "' (shift, control, option, command, none)";
      return false;
    }
  }
  standin::HoldModifierKeys(flags);
  session.out() << "holding " << (arguments.empty() ? "none" : arguments) << "\n";
  return true;
}

std::optional<standin::Permission> PermissionNamed(std::string_view name) {
  if (name == "microphone") return standin::Permission::kMicrophone;
  if (name == "accessibility") return standin::Permission::kAccessibility;
  return std::nullopt;
}

const char* StateName(standin::PermissionState state) {
  switch (state) {
    case standin::PermissionState::kGranted:
      return "granted";
    case standin::PermissionState::kDenied:
      return "denied";
    case standin::PermissionState::kNotDetermined:
      return "not-determined";
  }
  return "?";
}

// permission <microphone|accessibility> <granted|denied|not-determined|prompt-grants|prompt-denies>
bool SetPermission(Session& session, std::string_view arguments, std::string* error) {
  std::vector<std::string> words = Words(arguments);
  std::optional<standin::Permission> permission =
      words.size() == 2 ? PermissionNamed(words[0]) : std::nullopt;
  if (!permission) {
    *error =
        "usage: permission <microphone|accessibility> "
        "<granted|denied|not-determined|prompt-grants|prompt-denies>";
    return false;
  }
  const std::string& value = words[1];
  if (value == "granted") {
    standin::SetPermissionState(*permission, standin::PermissionState::kGranted);
  } else if (value == "denied") {
    standin::SetPermissionState(*permission, standin::PermissionState::kDenied);
  } else if (value == "not-determined") {
    standin::SetPermissionState(*permission, standin::PermissionState::kNotDetermined);
  } else if (value == "prompt-grants" || value == "prompt-denies") {
    standin::SetPromptAnswer(*permission, value == "prompt-grants");
  } else {
    *error = "unknown permission setting '" + value + "'";
    return false;
  }
  session.out() << words[0] << " " << value << "\n";
  return true;
}

bool ShowApps(Session& session) {
  const std::optional<pid_t> frontmost = standin::FrontmostApplication();
  std::vector<standin::RunningApplication> apps = standin::RunningApplications();
  if (apps.empty()) session.out() << "no running applications\n";
  for (const standin::RunningApplication& app : apps) {
    session.out() << (frontmost == app.process_identifier ? "* " : "  ") << app.process_identifier
                  << " " << Optional(app.bundle_identifier) << " " << Optional(app.name)
                  << (app.refuses_activation ? " (refuses activation)" : "") << "\n";
  }
  return true;
}

bool ShowInput(Session& session) {
  std::vector<standin::InputEvent> events = standin::InputStream();
  if (events.empty()) session.out() << "input stream is empty\n";
  for (const standin::InputEvent& event : events) {
    session.out() << "input: " << standin::Describe(event) << "\n";
  }
  return true;
}

bool ShowDocument(Session& session, std::string_view app, std::string* error) {
  pid_t pid = 0;
  if (app.empty()) {
    std::optional<pid_t> frontmost = standin::FrontmostApplication();
    if (!frontmost) {
      *error = "no application has keyboard focus";
      return false;
    }
    pid = *frontmost;
  } else if (!NeedApplication(app, &pid, error)) {
    return false;
  }
  session.out() << "document of process " << pid << ": \"" << standin::DocumentText(pid) << "\"\n";
  return true;
}

bool ShowPermissions(Session& session) {
  session.out() << "microphone "
                << StateName(standin::GetPermissionState(standin::Permission::kMicrophone))
                << ", accessibility "
                << StateName(standin::GetPermissionState(standin::Permission::kAccessibility));
  for (const std::string& pane : standin::OpenedSettingsPanes()) {
    session.out() << ", settings opened at " << pane;
  }
  session.out() << "\n";
  return true;
}

bool Show(Session& session, std::string_view arguments, std::string* error) {
  std::vector<std::string> words = Words(arguments);
  const std::string what = words.empty() ? "" : words[0];
  const std::string_view rest =
      words.size() > 1 ? arguments.substr(arguments.find(words[1])) : std::string_view();
  if (what == "apps") return ShowApps(session);
  if (what == "input") return ShowInput(session);
  if (what == "document") return ShowDocument(session, rest, error);
  if (what == "clipboard") {
    session.out() << "clipboard holds \"" << standin::ClipboardText() << "\"\n";
    return true;
  }
  if (what == "permissions") return ShowPermissions(session);
  if (what == "windows") return ShowWindows(session, error);
  *error = "usage: show <apps|input|document [app]|clipboard|permissions|windows>";
  return false;
}

// send Service.Method [hex bytes]: the call exactly as given, answered in raw form.
bool Send(Session& session, std::string_view arguments, std::string* error) {
  std::vector<std::string> words = Words(arguments);
  const size_t dot = words.empty() ? std::string::npos : words[0].find('.');
  std::string payload;
  if (dot == std::string::npos ||
      !Unhex(words.size() > 1 ? arguments.substr(arguments.find(words[1])) : "", &payload)) {
    *error = "usage: send <Service>.<Method> [request bytes in hex]";
    return false;
  }
  std::string answer;
  const bool replied =
      session.Invoke(words[0].substr(0, dot), words[0].substr(dot + 1), payload, &answer);
  session.out() << "send " << words[0] << " -> "
                << (replied ? "replied " + (answer.empty() ? "(0 bytes)" : Hex(answer))
                            : "rejected: " + answer)
                << "\n";
  return replied;
}

struct Directive {
  const char* word;
  const char* usage;
  std::function<bool(Session&, std::string_view, std::string*)> run;
};

const std::vector<Directive>& AllDirectives();

bool Help(Session& session, std::string_view, std::string*) {
  session.out() << "A line is a call, <Service>.<Method> [request as JSON], or a directive:\n";
  for (const Directive& directive : AllDirectives()) {
    session.out() << "  " << directive.usage << "\n";
  }
  return true;
}

const std::vector<Directive>& AllDirectives() {
  static const auto* directives = new std::vector<Directive>{
      {"start", "start <bundle-id or -> [<name> or -]  start an application", Start},
      {"quit", "quit <app>  quit an application (by process id, bundle id or name)", Quit},
      {"focus", "focus <app or none>  bring an application to the front", Focus},
      {"refuse", "refuse <app>  make an application refuse activation requests", Refuse},
      {"clipboard", "clipboard <text>  put text on the clipboard", Clipboard},
      {"hold", "hold <shift|control|option|command|none>...  hold modifier keys down", Hold},
      {"permission",
       "permission <microphone|accessibility> "
       "<granted|denied|not-determined|prompt-grants|prompt-denies>",
       SetPermission},
      {"screens", "screens <none | WxH[+X+Y][ menubar=N][ dock=N] [; ...]>  arrange the screens",
       ArrangeScreens},
      {"show", "show <apps|input|document [app]|clipboard|permissions|windows>", Show},
      {"screenshot",
       "screenshot <file.png> [at <seconds>] [region X,Y,W,H]  draw the screens to a PNG file",
       Screenshot},
      {"send", "send <Service>.<Method> [hex]  pass a call to the library exactly as given", Send},
      {"ask-permissions",
       "ask-permissions  call the host's permissions service through the library's own client",
       AskPermissions},
      {"help", "help  list the directives", Help},
  };
  return *directives;
}

}  // namespace

bool RunDirective(Session& session, std::string_view word, std::string_view arguments,
                  std::string* error) {
  for (const Directive& directive : AllDirectives()) {
    if (word == directive.word) return directive.run(session, arguments, error);
  }
  *error = "unknown directive '" + std::string(word) +
           "' (a call is <Service>.<Method>; 'help' lists the directives)";
  return false;
}

}  // namespace engine
