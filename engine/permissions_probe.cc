#include "permissions_probe.h"

#include <dlfcn.h>

#include <mutex>
#include <ostream>

#include "client_library.h"
#include "host_services.h"
#include "session.h"

namespace engine {
namespace {

using PrintFn = void (*)(const char* line);
using ProbeFn = bool (*)(const char* method, int permission_type, PrintFn print);

// Where the probe's lines go; its results may arrive on host threads.
std::mutex& PrintMutex() {
  static auto* mutex = new std::mutex();
  return *mutex;
}
std::ostream* print_target = nullptr;

void PrintLine(const char* line) {
  std::lock_guard lock(PrintMutex());
  if (print_target != nullptr) *print_target << line << "\n";
}

ProbeFn LoadProbe(std::string* error) {
  static ProbeFn probe = nullptr;
  if (probe != nullptr) return probe;
  const std::string path = FrameworksDirectoryOfThisImage() +
                           "/Chromium Framework.framework/Versions/" ONDREL_ENGINE_VERSION
                           "/Libraries/libpermissions_probe.so";
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    *error = std::string("cannot load the permissions probe: ") + dlerror();
    return nullptr;
  }
  probe = reinterpret_cast<ProbeFn>(dlsym(handle, "ProbePermissionsClient"));
  if (probe == nullptr) *error = path + " does not export ProbePermissionsClient";
  return probe;
}

}  // namespace

bool AskPermissions(Session& session, std::string_view, std::string* error) {
  ProbeFn probe = LoadProbe(error);
  if (probe == nullptr) return false;
  {
    std::lock_guard lock(PrintMutex());
    print_target = &session.out();
  }
  constexpr int kMicrophone = 1;
  constexpr int kAccessibility = 2;
  const struct {
    const char* method;
    int type;
  } calls[] = {{"GetPermissionsStatus", 0},
               {"RequestPermission", kMicrophone},
               {"OpenSystemSettings", kAccessibility},
               {"GetPermissionsStatus", 0}};
  for (const auto& call : calls) {
    probe(call.method, call.type, &PrintLine);
    // Answers the host gives later arrive before the next call, so the transcript keeps its order.
    FinishPendingHostAnswers();
  }
  std::lock_guard lock(PrintMutex());
  print_target = nullptr;
  session.out().flush();
  return true;
}

}  // namespace engine
