// The platform's loader calls on top of Linux's. The mode bits are translated, never passed on
// (Linux reads the platform's RTLD_LOCAL as RTLD_NOLOAD and its RTLD_FIRST as RTLD_GLOBAL), and
// RTLD_FIRST, which Linux lacks, is kept in the handle: a lookup through such a handle takes
// Linux's answer only when the symbol lies in the image itself.
#include <darwin/dlfcn.h>

namespace {
constexpr int kPlatformLazy = darwin::RTLD_LAZY;
constexpr int kPlatformNow = darwin::RTLD_NOW;
constexpr int kPlatformLocal = darwin::RTLD_LOCAL;
constexpr int kPlatformGlobal = darwin::RTLD_GLOBAL;
constexpr int kPlatformFirst = darwin::RTLD_FIRST;
}  // namespace

// Linux's loader comes after the platform's constants were taken: its RTLD_ macros would otherwise
// replace the names above.
// clang-format off
#include <dlfcn.h>
#include <link.h>
// clang-format on

#include <cstdint>
#include <cstdio>
#include <string>

#include "faults.h"

namespace {

constexpr int kKnownModeBits =
    kPlatformLazy | kPlatformNow | kPlatformLocal | kPlatformGlobal | kPlatformFirst;

// Linux handles are link map addresses, so their low bit is free to mark RTLD_FIRST.
constexpr uintptr_t kFirstOnlyTag = 1;

struct LoaderError {
  std::string text;
  bool pending = false;
};

LoaderError& ThreadError() {
  thread_local LoaderError error;
  return error;
}

void SetError(std::string text) {
  LoaderError& error = ThreadError();
  error.text = std::move(text);
  error.pending = true;
}

void SetErrorFromLinux() {
  const char* text = ::dlerror();
  SetError(text != nullptr ? text : "unknown loader error");
}

void* LinuxHandle(void* handle) {
  return reinterpret_cast<void*>(reinterpret_cast<uintptr_t>(handle) & ~kFirstOnlyTag);
}

bool SearchesImageOnly(void* handle) {
  return (reinterpret_cast<uintptr_t>(handle) & kFirstOnlyTag) != 0;
}

// The image of the Linux handle, or null.
link_map* ImageOf(void* linux_handle) {
  link_map* image = nullptr;
  if (dlinfo(linux_handle, RTLD_DI_LINKMAP, &image) != 0) return nullptr;
  return image;
}

// The image that holds `address`, or null.
link_map* ImageHolding(void* address) {
  Dl_info info;
  link_map* image = nullptr;
  if (dladdr1(address, &info, reinterpret_cast<void**>(&image), RTLD_DL_LINKMAP) == 0) {
    return nullptr;
  }
  return image;
}

}  // namespace

namespace darwin {

void* dlopen(const char* path, int mode) {
  const char* shown_path = path != nullptr ? path : "(main program)";
  if (standin::faults::Take(standin::faults::Point::kDlopen)) {
    SetError("injected fault");
    return nullptr;
  }
  if ((mode & ~kKnownModeBits) != 0 ||
      ((mode & kPlatformLocal) != 0 && (mode & kPlatformGlobal) != 0)) {
    char text[64];
    std::snprintf(text, sizeof(text), "invalid mode 0x%x", static_cast<unsigned>(mode));
    SetError(std::string(shown_path) + ": " + text);
    return nullptr;
  }
  int linux_mode = (mode & kPlatformNow) != 0 ? RTLD_NOW : RTLD_LAZY;
  linux_mode |= (mode & kPlatformGlobal) != 0 ? RTLD_GLOBAL : RTLD_LOCAL;
  void* handle = ::dlopen(path, linux_mode);
  if (handle == nullptr) {
    SetErrorFromLinux();
    return nullptr;
  }
  if ((mode & kPlatformFirst) == 0) return handle;
  return reinterpret_cast<void*>(reinterpret_cast<uintptr_t>(handle) | kFirstOnlyTag);
}

void* dlsym(void* handle, const char* symbol) {
  if (standin::faults::Take(standin::faults::Point::kDlsym)) {
    SetError("injected fault");
    return nullptr;
  }
  if (handle == nullptr || symbol == nullptr) {
    SetError("dlsym: null handle or symbol");
    return nullptr;
  }
  void* linux_handle = LinuxHandle(handle);
  ::dlerror();
  void* address = ::dlsym(linux_handle, symbol);
  if (address == nullptr) {
    SetErrorFromLinux();
    return nullptr;
  }
  if (!SearchesImageOnly(handle)) return address;
  link_map* image = ImageOf(linux_handle);
  if (image != nullptr && ImageHolding(address) == image) return address;
  const char* image_name = image != nullptr ? image->l_name : "(unknown image)";
  SetError(std::string(image_name) + ": undefined symbol: " + symbol +
           " (only an image it depends on exports it, and RTLD_FIRST searches this image alone)");
  return nullptr;
}

char* dlerror() {
  LoaderError& error = ThreadError();
  if (!error.pending) return nullptr;
  error.pending = false;
  return error.text.data();
}

int dlclose(void* handle) {
  if (handle == nullptr) {
    SetError("dlclose: null handle");
    return -1;
  }
  if (::dlclose(LinuxHandle(handle)) != 0) {
    SetErrorFromLinux();
    return -1;
  }
  return 0;
}

}  // namespace darwin
