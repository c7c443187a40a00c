#include "delegating_default_zone.h"

#include <darwin/stdlib.h>
#include <mach/mach.h>
#include <malloc/malloc.h>

#include <cstring>

namespace {

constexpr char kDelegatingZoneName[] = "DelegatingDefaultZoneForPartitionAlloc";
constexpr char kPartitionAllocZoneName[] = "PartitionAlloc";
constexpr unsigned kDelegatingZoneVersion = 13;
// The first zone version that has try_free_default.
constexpr unsigned kTryFreeDefaultVersion = 13;

// Zero-filled until the registration fills them in; the platform keeps pointers to the first two
// for the rest of the process.
constinit malloc_zone_t delegating_zone = {};
constinit malloc_introspection_t delegating_introspection = {};
// Written once, before the delegating zone is registered; the forwarding operations only read it,
// so they need no synchronisation.
constinit malloc_zone_t* saved_default_zone = nullptr;

// The forwarding operations: the saved zone's own operation with the saved zone as zone argument.
// They sit on the path of every allocation, so each is a load and a tail call, with no check.

void* DelegatedMalloc(malloc_zone_t* /*zone*/, size_t size) {
  return saved_default_zone->malloc(saved_default_zone, size);
}

void* DelegatedCalloc(malloc_zone_t* /*zone*/, size_t num_items, size_t size) {
  return saved_default_zone->calloc(saved_default_zone, num_items, size);
}

void* DelegatedValloc(malloc_zone_t* /*zone*/, size_t size) {
  return saved_default_zone->valloc(saved_default_zone, size);
}

void DelegatedFree(malloc_zone_t* /*zone*/, void* ptr) {
  saved_default_zone->free(saved_default_zone, ptr);
}

void* DelegatedRealloc(malloc_zone_t* /*zone*/, void* ptr, size_t size) {
  return saved_default_zone->realloc(saved_default_zone, ptr, size);
}

unsigned DelegatedBatchMalloc(malloc_zone_t* /*zone*/, size_t size, void** results,
                              unsigned num_requested) {
  return saved_default_zone->batch_malloc(saved_default_zone, size, results, num_requested);
}

void DelegatedBatchFree(malloc_zone_t* /*zone*/, void** to_be_freed, unsigned num_to_be_freed) {
  saved_default_zone->batch_free(saved_default_zone, to_be_freed, num_to_be_freed);
}

void* DelegatedMemalign(malloc_zone_t* /*zone*/, size_t alignment, size_t size) {
  return saved_default_zone->memalign(saved_default_zone, alignment, size);
}

void DelegatedFreeDefiniteSize(malloc_zone_t* /*zone*/, void* ptr, size_t size) {
  saved_default_zone->free_definite_size(saved_default_zone, ptr, size);
}

void DelegatedTryFreeDefault(malloc_zone_t* /*zone*/, void* ptr) {
  saved_default_zone->try_free_default(saved_default_zone, ptr);
}

// The zone claims no block.
size_t DelegatedSize(malloc_zone_t* /*zone*/, const void* /*ptr*/) { return 0; }

size_t DelegatedPressureRelief(malloc_zone_t* /*zone*/, size_t /*goal*/) { return 0; }

// Introspection: the zone owns no memory, so there is nothing to report, lock or check.

kern_return_t DelegatedEnumerator(task_t /*task*/, void* /*context*/, unsigned /*type_mask*/,
                                  vm_address_t /*zone_address*/, memory_reader_t /*reader*/,
                                  vm_range_recorder_t /*recorder*/) {
  return KERN_SUCCESS;
}

size_t DelegatedGoodSize(malloc_zone_t* /*zone*/, size_t size) {
  return saved_default_zone->introspect->good_size(saved_default_zone, size);
}

boolean_t DelegatedCheck(malloc_zone_t* /*zone*/) { return 1; }

void DelegatedPrint(malloc_zone_t* /*zone*/, boolean_t /*verbose*/) {}

void DelegatedLog(malloc_zone_t* /*zone*/, void* /*address*/) {}

void DelegatedForceLock(malloc_zone_t* /*zone*/) {}

void DelegatedForceUnlock(malloc_zone_t* /*zone*/) {}

void DelegatedStatistics(malloc_zone_t* /*zone*/, malloc_statistics_t* /*stats*/) {}

boolean_t DelegatedZoneLocked(malloc_zone_t* /*zone*/) { return 0; }

boolean_t DelegatedEnableDischargeChecking(malloc_zone_t* /*zone*/) { return 0; }

void DelegatedDisableDischargeChecking(malloc_zone_t* /*zone*/) {}

void DelegatedDischarge(malloc_zone_t* /*zone*/, void* /*memory*/) {}

void DelegatedReinitLock(malloc_zone_t* /*zone*/) {}

struct ZoneList {
  vm_address_t* zones = nullptr;
  unsigned count = 0;
};

// Reads the zone list; a list that cannot be read ends the process. So does a list that names
// zones but gives no address for them.
ZoneList EnumerateZones() {
  ZoneList list;
  if (malloc_get_all_zones(mach_task_self(), nullptr, &list.zones, &list.count) != KERN_SUCCESS ||
      (list.zones == nullptr && list.count != 0)) {
    abort_report_np("Cannot enumerate malloc zones.");
  }
  return list;
}

// The first zone of the list; an empty list ends the process.
malloc_zone_t* FirstZone() {
  ZoneList list = EnumerateZones();
  if (list.count == 0) abort_report_np("Cannot enumerate malloc zones.");
  return reinterpret_cast<malloc_zone_t*>(list.zones[0]);
}

bool IsZoneRegistered(const char* name) {
  ZoneList list = EnumerateZones();
  for (unsigned i = 0; i < list.count; ++i) {
    const char* zone_name = reinterpret_cast<malloc_zone_t*>(list.zones[i])->zone_name;
    if (zone_name != nullptr && std::strcmp(zone_name, name) == 0) return true;
  }
  return false;
}

void FillInDelegatingZone() {
  delegating_introspection.enumerator = DelegatedEnumerator;
  delegating_introspection.good_size = DelegatedGoodSize;
  delegating_introspection.check = DelegatedCheck;
  delegating_introspection.print = DelegatedPrint;
  delegating_introspection.log = DelegatedLog;
  delegating_introspection.force_lock = DelegatedForceLock;
  delegating_introspection.force_unlock = DelegatedForceUnlock;
  delegating_introspection.statistics = DelegatedStatistics;
  delegating_introspection.zone_locked = DelegatedZoneLocked;
  delegating_introspection.enable_discharge_checking = DelegatedEnableDischargeChecking;
  delegating_introspection.disable_discharge_checking = DelegatedDisableDischargeChecking;
  delegating_introspection.discharge = DelegatedDischarge;
  delegating_introspection.enumerate_discharged_pointers = nullptr;
  delegating_introspection.reinit_lock = DelegatedReinitLock;
  delegating_introspection.print_task = nullptr;
  delegating_introspection.task_statistics = nullptr;
  delegating_introspection.zone_type = 0;

  delegating_zone.size = DelegatedSize;
  delegating_zone.malloc = DelegatedMalloc;
  delegating_zone.calloc = DelegatedCalloc;
  delegating_zone.valloc = DelegatedValloc;
  delegating_zone.free = DelegatedFree;
  delegating_zone.realloc = DelegatedRealloc;
  delegating_zone.destroy = nullptr;
  delegating_zone.zone_name = kDelegatingZoneName;
  delegating_zone.batch_malloc = DelegatedBatchMalloc;
  delegating_zone.batch_free = DelegatedBatchFree;
  delegating_zone.introspect = &delegating_introspection;
  delegating_zone.version = kDelegatingZoneVersion;
  delegating_zone.memalign = DelegatedMemalign;
  delegating_zone.free_definite_size = DelegatedFreeDefiniteSize;
  delegating_zone.pressure_relief = DelegatedPressureRelief;
  delegating_zone.claimed_address = nullptr;
  // Offered only when the saved zone has one to forward to.
  delegating_zone.try_free_default = saved_default_zone->version >= kTryFreeDefaultVersion &&
                                             saved_default_zone->try_free_default != nullptr
                                         ? DelegatedTryFreeDefault
                                         : nullptr;
}

}  // namespace

void RegisterDelegatingDefaultZone() {
  // The purgeable zone must exist before the list is read: it is created on first use.
  malloc_zone_t* purgeable_zone = malloc_default_purgeable_zone();

  saved_default_zone = FirstZone();
  FillInDelegatingZone();

  if (IsZoneRegistered(kDelegatingZoneName)) {
    abort_report_np("The delegating default zone has unexpectedly already been registered.");
  }
  if (IsZoneRegistered(kPartitionAllocZoneName)) {
    abort_report_np("The PartitionAlloc default zone has unexpectedly already been registered.");
  }

  // Registration appends and unregistration moves the last zone into the freed slot, so this
  // turns [default, purgeable] into [delegating, default, purgeable].
  malloc_zone_register(&delegating_zone);
  malloc_zone_unregister(saved_default_zone);
  malloc_zone_register(saved_default_zone);
  malloc_zone_unregister(purgeable_zone);
  malloc_zone_register(purgeable_zone);

  if (FirstZone() != &delegating_zone) {
    abort_report_np("Failed to install the delegating zone as default.");
  }
}
