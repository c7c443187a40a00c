// ondrel_launcher: the application bundle's main executable. It makes the delegating zone the
// default malloc zone, loads the engine framework from its fixed versioned place beside the
// executable's folder and hands the process to the framework's ChromeMain, whose result is the exit
// status. Every failure before the hand-over ends in FatalError.
#include <darwin/dlfcn.h>
#include <darwin/libgen.h>
#include <mach-o/dyld.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "delegating_default_zone.h"
#include "fatal_error.h"

namespace {

// Relative to the folder of the executable. The version folder is named, not the "Current" link:
// the launcher runs exactly this version of the engine.
constexpr char kFrameworkPath[] =
    "../Frameworks/Chromium Framework.framework/Versions/147.0.7727.56/Chromium Framework";
// The framework path buffer holds the folder, "/", the relative path and the NUL.
constexpr size_t kFrameworkPathExtra = 1 + (sizeof(kFrameworkPath) - 1) + 1;
static_assert(kFrameworkPathExtra == 86);

using ChromeMainFunction = int (*)(int argc, char** argv);

}  // namespace

int main(int argc, char* argv[]) {
  RegisterDelegatingDefaultZone();

  uint32_t executable_path_size = 0;
  if (_NSGetExecutablePath(nullptr, &executable_path_size) != -1) {
    FatalError("_NSGetExecutablePath: get length failed.");
  }
  // The path buffers are never released: the process ends through exit or an abort.
  char* executable_path = static_cast<char*>(malloc(executable_path_size));
  if (executable_path == nullptr) {
    FatalError("Cannot allocate %u bytes for the executable path.", executable_path_size);
  }
  if (_NSGetExecutablePath(executable_path, &executable_path_size) != 0) {
    FatalError("_NSGetExecutablePath: get path failed.");
  }

  const char* executable_folder = darwin::dirname(executable_path);
  if (executable_folder == nullptr) {
    FatalError("dirname %s: %s.", executable_path, strerror(errno));
  }

  // Joined as it is: links are not resolved and the ".." stays in the path.
  const size_t framework_path_size = strlen(executable_folder) + kFrameworkPathExtra;
  char* framework_path = static_cast<char*>(malloc(framework_path_size));
  if (framework_path == nullptr) {
    FatalError("Cannot allocate %zu bytes for the framework path.", framework_path_size);
  }
  snprintf(framework_path, framework_path_size, "%s/%s", executable_folder, kFrameworkPath);

  void* framework =
      darwin::dlopen(framework_path, darwin::RTLD_LAZY | darwin::RTLD_LOCAL | darwin::RTLD_FIRST);
  if (framework == nullptr) {
    FatalError("dlopen %s: %s.", framework_path, darwin::dlerror());
  }
  auto chrome_main = reinterpret_cast<ChromeMainFunction>(darwin::dlsym(framework, "ChromeMain"));
  if (chrome_main == nullptr) {
    FatalError("dlsym ChromeMain: %s.", darwin::dlerror());
  }
  exit(chrome_main(argc, argv));
}
