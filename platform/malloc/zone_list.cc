// The process's zone list. It lives in fixed storage, changes under one lock and never allocates,
// so the allocator can consult it from the first allocation of the process on. The first zone is
// also kept in an atomic of its own: the allocation path reads it with one load and no lock.
#include <darwin/stdlib.h>
#include <malloc/malloc.h>
#include <pthread.h>

#include <atomic>
#include <mutex>

#include "../process/faults.h"
#include "system_zones.h"

namespace {

constexpr unsigned kMaxZones = 64;

struct ZoneList {
  std::mutex lock;
  // Until the first change or enumeration the list is [default zone]; `started` says whether
  // `addresses` holds it yet (a zone address is not a constant for the initialiser).
  bool started = false;
  bool purgeable_registered = false;
  vm_address_t addresses[kMaxZones] = {};
  unsigned count = 0;
  // The first zone, null while the list is empty or not started (the system default zone then).
  std::atomic<malloc_zone_t*> first{nullptr};
};

constinit ZoneList zone_list;

vm_address_t AddressOf(malloc_zone_t* zone) { return reinterpret_cast<vm_address_t>(zone); }

malloc_zone_t* ZoneAt(vm_address_t address) { return reinterpret_cast<malloc_zone_t*>(address); }

// Lock held.
void Start() {
  if (zone_list.started) return;
  zone_list.addresses[0] = AddressOf(standin::SystemDefaultZone());
  zone_list.count = 1;
  zone_list.started = true;
}

// Lock held.
void PublishFirst() {
  malloc_zone_t* first = zone_list.count == 0 ? nullptr : ZoneAt(zone_list.addresses[0]);
  zone_list.first.store(first, std::memory_order_release);
}

// Lock held. Appends `zone`; false when the list is full.
bool Append(malloc_zone_t* zone) {
  if (zone_list.count == kMaxZones) return false;
  zone_list.addresses[zone_list.count++] = AddressOf(zone);
  PublishFirst();
  return true;
}

void PrepareFork() {
  zone_list.lock.lock();
  standin::LockSystemZones();
}

void AfterFork() {
  standin::UnlockSystemZones();
  zone_list.lock.unlock();
}

// A fork while another thread is inside the allocator must not leave the child with a held lock.
__attribute__((constructor)) void KeepZonesUsableAcrossFork() {
  pthread_atfork(PrepareFork, AfterFork, AfterFork);
}

}  // namespace

extern "C" {

malloc_zone_t* malloc_default_zone(void) {
  malloc_zone_t* first = zone_list.first.load(std::memory_order_acquire);
  return first != nullptr ? first : standin::SystemDefaultZone();
}

malloc_zone_t* malloc_default_purgeable_zone(void) {
  malloc_zone_t* purgeable = standin::SystemPurgeableZone();
  std::unique_lock<std::mutex> hold(zone_list.lock);
  Start();
  if (!zone_list.purgeable_registered && Append(purgeable)) zone_list.purgeable_registered = true;
  return purgeable;
}

kern_return_t malloc_get_all_zones(task_t task, memory_reader_t reader, vm_address_t** addresses,
                                   unsigned* count) {
  if (task != mach_task_self() || reader != nullptr || addresses == nullptr || count == nullptr) {
    return KERN_INVALID_ARGUMENT;
  }
  std::lock_guard<std::mutex> hold(zone_list.lock);
  Start();
  long fault = 0;
  if (standin::faults::Take(standin::faults::Point::kZoneEnumeration, &fault)) {
    switch (fault) {
      case standin::faults::kEmptyList:
        *addresses = zone_list.addresses;
        *count = 0;
        return KERN_SUCCESS;
      case standin::faults::kNullList:
        *addresses = nullptr;
        *count = zone_list.count;
        return KERN_SUCCESS;
      default:
        return KERN_FAILURE;
    }
  }
  *addresses = zone_list.addresses;
  *count = zone_list.count;
  return KERN_SUCCESS;
}

void malloc_zone_register(malloc_zone_t* zone) {
  if (zone == nullptr) return;
  std::unique_lock<std::mutex> hold(zone_list.lock);
  Start();
  if (standin::faults::Take(standin::faults::Point::kZoneRegister)) return;
  if (!Append(zone)) {
    hold.unlock();
    abort_report_np("malloc_zone_register: the zone list is full (%u zones).", kMaxZones);
  }
}

void malloc_zone_unregister(malloc_zone_t* zone) {
  std::lock_guard<std::mutex> hold(zone_list.lock);
  Start();
  const vm_address_t address = AddressOf(zone);
  for (unsigned i = 0; i < zone_list.count; ++i) {
    if (zone_list.addresses[i] != address) continue;
    zone_list.addresses[i] = zone_list.addresses[zone_list.count - 1];
    zone_list.addresses[--zone_list.count] = 0;
    PublishFirst();
    return;
  }
}

size_t malloc_size(const void* ptr) {
  if (ptr == nullptr) return 0;
  // Zones are asked outside the lock: their code may use the list itself.
  vm_address_t zones[kMaxZones];
  unsigned count = 0;
  {
    std::lock_guard<std::mutex> hold(zone_list.lock);
    Start();
    count = zone_list.count;
    for (unsigned i = 0; i < count; ++i) zones[i] = zone_list.addresses[i];
  }
  for (unsigned i = 0; i < count; ++i) {
    malloc_zone_t* zone = ZoneAt(zones[i]);
    if (zone->size == nullptr) continue;
    if (size_t size = zone->size(zone, ptr); size != 0) return size;
  }
  return 0;
}

}  // extern "C"
