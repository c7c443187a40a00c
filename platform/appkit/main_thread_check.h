// The window system's guard against use off the main thread, which the platform does not allow.
#ifndef PLATFORM_APPKIT_MAIN_THREAD_CHECK_H_
#define PLATFORM_APPKIT_MAIN_THREAD_CHECK_H_

#include <cstdio>
#include <cstdlib>

#include "standin/main_queue.h"

namespace appkit {

// Ends the process when called off the main thread, naming `operation`.
inline void RequireMainThread(const char* operation) {
  if (!standin::IsMainThread()) {
    std::fprintf(stderr, "AppKit: %s must be used from the main thread only\n", operation);
    std::abort();
  }
}

}  // namespace appkit

#endif  // PLATFORM_APPKIT_MAIN_THREAD_CHECK_H_
