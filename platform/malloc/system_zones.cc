// The platform's default and purgeable zones. Blocks come from the system allocator (glibc's own
// entry points when the launcher routes the process's malloc through the zones, so that the zones
// never call back into themselves) and are recorded in the zone's block table, so each zone answers
// `size` for its own blocks only. Either zone releases a block of the other, as the platform's free
// does.
#include "system_zones.h"

#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>

#include "../process/faults.h"
#include "block_table.h"

#if ONDREL_ZONES_USE_LIBC_ENTRY_POINTS
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* block);
}
#endif

namespace standin {
namespace {

// The system allocator under the zones.
namespace backing {
#if ONDREL_ZONES_USE_LIBC_ENTRY_POINTS
void* Malloc(size_t size) { return __libc_malloc(size); }
void* Calloc(size_t size) { return __libc_calloc(1, size); }
void* Realloc(void* block, size_t size) { return __libc_realloc(block, size); }
void* Memalign(size_t alignment, size_t size) { return __libc_memalign(alignment, size); }
void Free(void* block) { __libc_free(block); }
#else
void* Malloc(size_t size) { return std::malloc(size); }
void* Calloc(size_t size) { return std::calloc(1, size); }
void* Realloc(void* block, size_t size) { return std::realloc(block, size); }
void* Memalign(size_t alignment, size_t size) {
  void* block = nullptr;
  return posix_memalign(&block, alignment, size) == 0 ? block : nullptr;
}
void Free(void* block) { std::free(block); }
#endif
}  // namespace backing

struct SystemZone {
  malloc_zone_t zone;  // first, so a malloc_zone_t* of this zone is the SystemZone's address
  BlockTable blocks;
};

SystemZone& Owner(malloc_zone_t* zone) { return *reinterpret_cast<SystemZone*>(zone); }

// Sizes are handed out in 16-byte quanta, so the size a zone answers is all usable.
constexpr size_t kQuantum = 16;

size_t GoodSize(size_t size) {
  if (size <= kQuantum) return kQuantum;
  if (size > SIZE_MAX - (kQuantum - 1)) return size;  // the system allocator will refuse it
  return (size + kQuantum - 1) & ~(kQuantum - 1);
}

SystemZone& DefaultOwner() { return Owner(SystemDefaultZone()); }
SystemZone& PurgeableOwner() { return Owner(SystemPurgeableZone()); }

void* Recorded(malloc_zone_t* zone, void* block, size_t size) {
  if (block != nullptr && !Owner(zone).blocks.Insert(block, size)) {
    backing::Free(block);
    errno = ENOMEM;
    return nullptr;
  }
  return block;
}

// Forgets `block` in whichever system zone recorded it.
void Forget(void* block) {
  if (!DefaultOwner().blocks.Remove(block)) PurgeableOwner().blocks.Remove(block);
}

size_t ZoneSize(malloc_zone_t* zone, const void* block) { return Owner(zone).blocks.SizeOf(block); }

void* ZoneMalloc(malloc_zone_t* zone, size_t size) {
  if (zone == SystemDefaultZone() && faults::TakeMalloc(size)) {
    errno = ENOMEM;
    return nullptr;
  }
  const size_t good_size = GoodSize(size);
  return Recorded(zone, backing::Malloc(good_size), good_size);
}

void* ZoneCalloc(malloc_zone_t* zone, size_t count, size_t size) {
  size_t total = 0;
  if (__builtin_mul_overflow(count, size, &total)) {
    errno = ENOMEM;
    return nullptr;
  }
  const size_t good_size = GoodSize(total);
  return Recorded(zone, backing::Calloc(good_size), good_size);
}

void* ZoneMemalign(malloc_zone_t* zone, size_t alignment, size_t size) {
  const size_t good_size = GoodSize(size);
  return Recorded(zone, backing::Memalign(alignment, good_size), good_size);
}

void* ZoneValloc(malloc_zone_t* zone, size_t size) {
  return ZoneMemalign(zone, static_cast<size_t>(getpagesize()), size);
}

void ZoneFree(malloc_zone_t* /*zone*/, void* block) {
  if (block == nullptr) return;
  Forget(block);
  backing::Free(block);
}

void* ZoneRealloc(malloc_zone_t* zone, void* block, size_t size) {
  if (block == nullptr) return ZoneMalloc(zone, size);
  // A size of 0 keeps a minimal block, as on the platform, rather than freeing.
  const size_t good_size = GoodSize(size);
  SystemZone* owner = &Owner(zone);
  size_t old_size = 0;
  if (!owner->blocks.Remove(block, &old_size)) {
    owner = &DefaultOwner();
    if (!owner->blocks.Remove(block, &old_size)) {
      owner = &PurgeableOwner();
      if (!owner->blocks.Remove(block, &old_size)) owner = nullptr;
    }
  }
  void* moved = backing::Realloc(block, good_size);
  if (moved == nullptr) {
    if (owner != nullptr) owner->blocks.Insert(block, old_size);
    return nullptr;
  }
  // Out of memory for the record: the block is still good, only its size goes unanswered.
  Owner(zone).blocks.Insert(moved, good_size);
  return moved;
}

unsigned ZoneBatchMalloc(malloc_zone_t* zone, size_t size, void** results, unsigned count) {
  unsigned made = 0;
  while (made < count && (results[made] = ZoneMalloc(zone, size)) != nullptr) ++made;
  return made;
}

void ZoneBatchFree(malloc_zone_t* zone, void** blocks, unsigned count) {
  for (unsigned i = 0; i < count; ++i) ZoneFree(zone, blocks[i]);
}

void ZoneFreeDefiniteSize(malloc_zone_t* zone, void* block, size_t /*size*/) {
  ZoneFree(zone, block);
}

size_t ZonePressureRelief(malloc_zone_t* /*zone*/, size_t /*goal*/) { return 0; }

kern_return_t IntrospectEnumerate(task_t /*task*/, void* /*context*/, unsigned /*type_mask*/,
                                  vm_address_t /*zone_address*/, memory_reader_t /*reader*/,
                                  vm_range_recorder_t /*recorder*/) {
  return KERN_SUCCESS;
}

size_t IntrospectGoodSize(malloc_zone_t* /*zone*/, size_t size) { return GoodSize(size); }

boolean_t IntrospectCheck(malloc_zone_t* /*zone*/) { return 1; }

void IntrospectNothing(malloc_zone_t* /*zone*/) {}

void IntrospectPrint(malloc_zone_t* /*zone*/, boolean_t /*verbose*/) {}

void IntrospectLog(malloc_zone_t* /*zone*/, void* /*address*/) {}

void IntrospectForceLock(malloc_zone_t* zone) { Owner(zone).blocks.LockAll(); }

void IntrospectForceUnlock(malloc_zone_t* zone) { Owner(zone).blocks.UnlockAll(); }

void IntrospectStatistics(malloc_zone_t* zone, malloc_statistics_t* stats) {
  size_t blocks = 0;
  size_t bytes = 0;
  Owner(zone).blocks.Totals(&blocks, &bytes);
  stats->blocks_in_use = static_cast<unsigned>(blocks);
  stats->size_in_use = bytes;
  stats->max_size_in_use = bytes;
  stats->size_allocated = bytes;
}

boolean_t IntrospectZoneLocked(malloc_zone_t* /*zone*/) { return 0; }

constinit malloc_introspection_t system_introspection = {
    .enumerator = IntrospectEnumerate,
    .good_size = IntrospectGoodSize,
    .check = IntrospectCheck,
    .print = IntrospectPrint,
    .log = IntrospectLog,
    .force_lock = IntrospectForceLock,
    .force_unlock = IntrospectForceUnlock,
    .statistics = IntrospectStatistics,
    .zone_locked = IntrospectZoneLocked,
    .enable_discharge_checking = nullptr,
    .disable_discharge_checking = nullptr,
    .discharge = nullptr,
    .enumerate_discharged_pointers = nullptr,
    .reinit_lock = IntrospectNothing,
    .print_task = nullptr,
    .task_statistics = nullptr,
    .zone_type = 0,
};

constexpr malloc_zone_t SystemZoneTable(const char* name) {
  return malloc_zone_t{
      .reserved1 = nullptr,
      .reserved2 = nullptr,
      .size = ZoneSize,
      .malloc = ZoneMalloc,
      .calloc = ZoneCalloc,
      .valloc = ZoneValloc,
      .free = ZoneFree,
      .realloc = ZoneRealloc,
      .destroy = nullptr,
      .zone_name = name,
      .batch_malloc = ZoneBatchMalloc,
      .batch_free = ZoneBatchFree,
      .introspect = &system_introspection,
      .version = 13,
      .memalign = ZoneMemalign,
      .free_definite_size = ZoneFreeDefiniteSize,
      .pressure_relief = ZonePressureRelief,
      .claimed_address = nullptr,
      .try_free_default = ZoneFree,
  };
}

// Constant-initialised: the process's first allocation may come before any constructor has run.
constinit SystemZone default_zone = {SystemZoneTable(kDefaultZoneName), {}};
constinit SystemZone purgeable_zone = {SystemZoneTable(kPurgeableZoneName), {}};

}  // namespace

malloc_zone_t* SystemDefaultZone() { return &default_zone.zone; }

malloc_zone_t* SystemPurgeableZone() { return &purgeable_zone.zone; }

void LockSystemZones() {
  default_zone.blocks.LockAll();
  purgeable_zone.blocks.LockAll();
}

void UnlockSystemZones() {
  purgeable_zone.blocks.UnlockAll();
  default_zone.blocks.UnlockAll();
}

}  // namespace standin
