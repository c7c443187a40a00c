// The two zones the platform itself provides, both backed by the system allocator: the default
// zone, first in the zone list from the start of the process, and the purgeable zone.
#ifndef PLATFORM_MALLOC_SYSTEM_ZONES_H_
#define PLATFORM_MALLOC_SYSTEM_ZONES_H_

#include <malloc/malloc.h>

namespace standin {

inline constexpr char kDefaultZoneName[] = "DefaultMallocZone";
inline constexpr char kPurgeableZoneName[] = "DefaultPurgeableMallocZone";

malloc_zone_t* SystemDefaultZone();
malloc_zone_t* SystemPurgeableZone();

// Hold and release both zones' bookkeeping (around fork).
void LockSystemZones();
void UnlockSystemZones();

}  // namespace standin

#endif  // PLATFORM_MALLOC_SYSTEM_ZONES_H_
