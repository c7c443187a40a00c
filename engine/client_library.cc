#include "client_library.h"

#include <dlfcn.h>

namespace engine {
namespace {

std::string ParentOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

}  // namespace

std::string FrameworksDirectoryOfThisImage() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&FrameworksDirectoryOfThisImage), &info) == 0 ||
      info.dli_fname == nullptr) {
    return ".";
  }
  // Up from the image: <version>, Versions, Chromium Framework.framework, Frameworks.
  std::string directory = info.dli_fname;
  for (int level = 0; level < 4; ++level) directory = ParentOf(directory);
  return directory;
}

ClientLibrary ClientLibrary::Load(const std::string& frameworks_dir, std::string* error) {
  const std::string path = frameworks_dir + "/libkezmora_client.dylib";
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    *error = dlerror();
    return {};
  }
  ClientLibrary library;
  library.AppMain = reinterpret_cast<void (*)()>(dlsym(handle, "AppMain"));
  library.invoke = reinterpret_cast<InvokeFn>(dlsym(handle, "invoke"));
  library.set_host_invoke =
      reinterpret_cast<void (*)(HostInvokeFn)>(dlsym(handle, "set_host_invoke"));
  if (library.AppMain == nullptr || library.invoke == nullptr ||
      library.set_host_invoke == nullptr) {
    *error = path + " does not export AppMain, invoke and set_host_invoke";
    return {};
  }
  return library;
}

}  // namespace engine
