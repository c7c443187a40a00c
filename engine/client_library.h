// The host runtime's handle on libkezmora_client: the library loaded from the bundle's Frameworks
// folder and its three exported C entry points, found by name as a host finds them.
#ifndef ENGINE_CLIENT_LIBRARY_H_
#define ENGINE_CLIENT_LIBRARY_H_

#include <cstddef>
#include <cstdint>
#include <string>

namespace engine {

// The boundary's function types, as the host declares them.
using ReplyFn = void (*)(uint64_t id, const char* data, size_t len);
using RejectFn = void (*)(uint64_t id, const char* error);
using HostInvokeFn = void (*)(uint64_t id, const char* service, const char* method,
                              const char* data, size_t len, ReplyFn reply, RejectFn reject);
using InvokeFn = void (*)(uint64_t id, const char* service, const char* method, const char* data,
                          size_t len, ReplyFn reply, RejectFn reject);

struct ClientLibrary {
  void (*AppMain)() = nullptr;
  InvokeFn invoke = nullptr;
  void (*set_host_invoke)(HostInvokeFn fn) = nullptr;

  // Loads the library from `frameworks_dir` (the bundle's Contents/Frameworks). On failure returns
  // a library with null entries and sets `error`.
  static ClientLibrary Load(const std::string& frameworks_dir, std::string* error);
};

// The bundle's Contents/Frameworks folder, found from the path of this engine image
// (Frameworks/Chromium Framework.framework/Versions/<version>/Chromium Framework).
std::string FrameworksDirectoryOfThisImage();

}  // namespace engine

#endif  // ENGINE_CLIENT_LIBRARY_H_
