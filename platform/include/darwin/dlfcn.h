// The platform's dynamic loader calls, with the platform's mode bits. Linux's own <dlfcn.h> gives
// the same names other meanings (its 0x4 is RTLD_NOLOAD, its 0x100 RTLD_GLOBAL), so the platform's
// versions live in namespace darwin, and a file includes either this header or Linux's, never both.
//
// Threads: any thread. The error text is kept per thread, as on the platform.
#ifndef PLATFORM_INCLUDE_DARWIN_DLFCN_H_
#define PLATFORM_INCLUDE_DARWIN_DLFCN_H_

#if defined(RTLD_LAZY) || defined(RTLD_LOCAL)
#error "darwin/dlfcn.h and Linux's <dlfcn.h> give the RTLD_ names different values"
#endif

namespace darwin {

// References are bound on first use.
inline constexpr int RTLD_LAZY = 0x1;
// References are bound when the image is loaded.
inline constexpr int RTLD_NOW = 0x2;
// The image's exports are not offered to images loaded later.
inline constexpr int RTLD_LOCAL = 0x4;
// The image's exports are offered to images loaded later.
inline constexpr int RTLD_GLOBAL = 0x8;
// A lookup through the returned handle searches the image itself only, not the images it depends
// on.
inline constexpr int RTLD_FIRST = 0x100;

// Loads the image at `path` (used as given, without resolving links) and returns a handle for
// dlsym, or null with the reason kept for dlerror. Any other mode bit than the five above is
// refused.
void* dlopen(const char* path, int mode);

// The address of `symbol` as the image of `handle` (and, without RTLD_FIRST, the images it depends
// on) exports it, or null with the reason kept for dlerror.
void* dlsym(void* handle, const char* symbol);

// The text of the last failure of dlopen, dlsym or dlclose on this thread, or null when there was
// none since the last call of dlerror. The text stays valid until the next loader call on the
// thread.
char* dlerror();

// Gives up the handle; returns 0, or -1 with the reason kept for dlerror.
int dlclose(void* handle);

}  // namespace darwin

#endif  // PLATFORM_INCLUDE_DARWIN_DLFCN_H_
