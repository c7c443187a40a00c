// The delegating default zone's cases: a malloc/free pair of 64 bytes through the delegating zone,
// and the same pair through the zone it forwards to (the saved default zone).
#include <mach/mach.h>
#include <malloc/malloc.h>

#include <cstdio>
#include <cstdlib>

#include "delegating_default_zone.h"
#include "driver.h"

namespace ondrel::bench {
namespace {

malloc_zone_t* delegating_zone = nullptr;
malloc_zone_t* saved_default_zone = nullptr;

// Registers the delegating zone as the launcher does; the zone list is then [delegating, saved
// default, purgeable].
void PrepareZones() {
  if (delegating_zone != nullptr) return;
  RegisterDelegatingDefaultZone();
  vm_address_t* zones = nullptr;
  unsigned count = 0;
  if (malloc_get_all_zones(mach_task_self(), nullptr, &zones, &count) != KERN_SUCCESS ||
      count < 2) {
    std::fprintf(stderr, "cannot read the zone list\n");
    std::abort();
  }
  delegating_zone = reinterpret_cast<malloc_zone_t*>(zones[0]);
  saved_default_zone = reinterpret_cast<malloc_zone_t*>(zones[1]);
}

template <malloc_zone_t** Zone>
void MallocFreePair() {
  malloc_zone_t* zone = *Zone;
  Opaque(zone);
  void* block = zone->malloc(zone, 64);
  Opaque(block);
  zone->free(zone, block);
}

const bool registered = [] {
  AddCase<&MallocFreePair<&saved_default_zone>>("zone_direct", &PrepareZones);
  AddCase<&MallocFreePair<&delegating_zone>>("zone_delegating", &PrepareZones);
  return true;
}();

}  // namespace
}  // namespace ondrel::bench
