// The engine framework stand-in's entry point: the engine and the Kezmora host runtime in one. It
// loads libkezmora_client from the bundle, starts it, installs the host's call-out function, then
// runs a session on a thread of its own while the process's main thread runs the main run loop.
//
//   ondrel_launcher [--output-dir DIR] [SCRIPT | - | --demo]
//
// SCRIPT is a session file; "-" reads standard input (with a prompt on a terminal). Without a
// script the session comes from standard input, and when that holds no line at all, the built-in
// demo runs. Relative screenshot paths are taken in the output directory (the working directory by
// default).
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>

#include "client_library.h"
#include "demo_session.h"
#include "host_services.h"
#include "main_thread.h"
#include "session.h"
#include "window_directives.h"

namespace engine {
namespace {

constexpr int kExitUsage = 64;
constexpr int kExitUnavailable = 69;

struct Options {
  std::string output_dir;
  std::string script;  // empty: standard input, then the demo
  bool demo = false;
};

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--output-dir" && i + 1 < argc) {
      options->output_dir = argv[++i];
    } else if (argument == "--demo") {
      options->demo = true;
    } else if (argument.rfind("--", 0) == 0 || !options->script.empty()) {
      return false;
    } else {
      options->script = argument;
    }
  }
  return true;
}

// Runs the session the options name; true when every line succeeded.
bool RunSession(Session& session, const Options& options) {
  if (options.demo) {
    std::istringstream demo(kDemoSession);
    return session.Run(demo, "");
  }
  if (!options.script.empty() && options.script != "-") {
    std::ifstream file(options.script);
    if (!file) {
      std::cerr << "ondrel: cannot read session script " << options.script << ": "
                << std::strerror(errno) << "\n";
      return false;
    }
    return session.Run(file, "");
  }
  // Standard input; nothing at all there means the demo.
  const bool terminal = isatty(STDIN_FILENO) != 0;
  if (std::cin.peek() == std::char_traits<char>::eof() && !terminal) {
    std::cin.clear();
    std::istringstream demo(kDemoSession);
    return session.Run(demo, "");
  }
  return session.Run(std::cin, terminal ? "ondrel> " : "");
}

int Main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::cerr << "usage: " << (argc > 0 ? argv[0] : "ondrel_launcher")
              << " [--output-dir DIR] [SCRIPT | - | --demo]\n";
    return kExitUsage;
  }
  if (!options.output_dir.empty()) SetScreenshotDirectory(options.output_dir);

  std::string error;
  ClientLibrary library = ClientLibrary::Load(FrameworksDirectoryOfThisImage(), &error);
  if (library.invoke == nullptr) {
    std::cerr << "ondrel: cannot load libkezmora_client: " << error << "\n";
    return kExitUnavailable;
  }
  library.AppMain();
  library.set_host_invoke(&HostInvoke);

  bool succeeded = false;
  std::thread session_thread([&] {
    Session session(library, std::cout);
    succeeded = RunSession(session, options);
    FinishPendingHostAnswers();
    std::cout.flush();
    StopMainThreadLoop();
  });
  RunMainThreadLoop();
  session_thread.join();
  return succeeded ? 0 : 1;
}

}  // namespace
}  // namespace engine

extern "C" __attribute__((visibility("default"))) int ChromeMain(int argc, char** argv) {
  return engine::Main(argc, argv);
}
