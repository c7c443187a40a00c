// The platform side of failure injection (standin/faults.h): each call that can be made to fail
// asks here whether this very call is the armed one. Checking a disarmed point is one relaxed load.
#ifndef PLATFORM_PROCESS_FAULTS_H_
#define PLATFORM_PROCESS_FAULTS_H_

#include <cstddef>

namespace standin::faults {

enum class Point {
  kExecutablePath,
  kDirname,
  kDlopen,
  kDlsym,
  kZoneEnumeration,
  kZoneRegister,
  kZoneMalloc,
};

// How an armed malloc_get_all_zones fails.
enum ZoneEnumerationFault : long { kEnumerationFails = 0, kEmptyList = 1, kNullList = 2 };

// True when this call of `point` is the armed one (the fault then disarms); its argument goes to
// `*argument` when given.
bool Take(Point point, long* argument = nullptr);

// True when this request of `size` bytes to the default zone's malloc is the armed one.
bool TakeMalloc(size_t size);

}  // namespace standin::faults

#endif  // PLATFORM_PROCESS_FAULTS_H_
