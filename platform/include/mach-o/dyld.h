// The path of the running executable, as the loader knows it.
#ifndef PLATFORM_INCLUDE_MACH_O_DYLD_H_
#define PLATFORM_INCLUDE_MACH_O_DYLD_H_

#include <cstdint>

extern "C" {
// Copies the NUL-terminated path the process was started with into `buf`. The path is absolute (a
// relative start path is joined to the working directory the process started in) but otherwise left
// as given: symbolic links and ".." segments stay. If `*bufsize` is smaller than the path with its
// NUL, stores the size needed in `*bufsize` and returns -1 (a null `buf` with a size of 0 asks for
// the size); otherwise returns 0. Any thread.
int _NSGetExecutablePath(char* buf, uint32_t* bufsize);
}

#endif  // PLATFORM_INCLUDE_MACH_O_DYLD_H_
