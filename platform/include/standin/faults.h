// Failure injection for the platform calls that start a process: tests (and fault matrices) make
// one chosen call fail the way the platform can fail, to reach the code that handles it.
//
// A fault list is a comma-separated list of items "name[@n][=argument]": the n-th call of `name`
// counted from the arming (default the first) fails, once. The names and their arguments:
//
//   _NSGetExecutablePath            a size query (buffer too small) returns 0 without a size; a
//                                   call with room for the path returns -1
//   dirname                         returns null with errno EINVAL
//   dlopen, dlsym                   return null; dlerror gives "injected fault"
//   malloc_get_all_zones[=kind]     kind "fail" (default): returns KERN_FAILURE; "empty": a list of
//                                   0 zones; "null": a null list with the true count
//   malloc_zone_register            the zone is silently not registered
//   malloc=<bytes>                  the default zone's malloc answers null for a request of exactly
//                                   <bytes>; n counts the requests of that size
//
// A process arms the list in the environment variable ONDREL_STANDIN_FAULTS when the platform
// library loads; a malformed list there ends the process with a message on standard error.
#ifndef PLATFORM_INCLUDE_STANDIN_FAULTS_H_
#define PLATFORM_INCLUDE_STANDIN_FAULTS_H_

#include <string_view>

namespace standin {

inline constexpr char kFaultsEnvironmentVariable[] = "ONDREL_STANDIN_FAULTS";

// Arms every item of `list`, replacing what was armed for the same names. Returns false, arming
// nothing, when the list is malformed. Any thread.
bool ArmFaults(std::string_view list);

// Disarms every fault.
void DisarmFaults();

}  // namespace standin

#endif  // PLATFORM_INCLUDE_STANDIN_FAULTS_H_
