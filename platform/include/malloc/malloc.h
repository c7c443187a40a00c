// Malloc zones: the allocators of the process, each a table of operations, and the process's zone
// list. The first zone of the list is the default zone: the process's malloc, free and the rest of
// the family go to it. The list starts as [default zone]; the purgeable zone joins it on first use.
//
// Threads: every call may be made from any thread. The list pointer that malloc_get_all_zones gives
// out is the list itself, so a caller that reads it while another thread registers or unregisters a
// zone reads a list in change.
#ifndef PLATFORM_INCLUDE_MALLOC_MALLOC_H_
#define PLATFORM_INCLUDE_MALLOC_MALLOC_H_

#include <mach/mach.h>

#include <cstddef>

struct _malloc_zone_t;
typedef struct _malloc_zone_t malloc_zone_t;

// A memory range of a zone, as its enumerator reports it.
typedef struct {
  vm_address_t address;
  vm_size_t size;
} vm_range_t;

// Reads `size` bytes at `remote_address` of `task` into local memory (*local_memory).
typedef kern_return_t memory_reader_t(task_t task, vm_address_t remote_address, vm_size_t size,
                                      void** local_memory);
// Receives `count` ranges of kind `type` from a zone's enumerator.
typedef void vm_range_recorder_t(task_t task, void* context, unsigned type, vm_range_t* ranges,
                                 unsigned count);
typedef void print_task_printer_t(const char* format, ...);

#define MALLOC_PTR_IN_USE_RANGE_TYPE 1
#define MALLOC_PTR_REGION_RANGE_TYPE 2
#define MALLOC_ADMIN_REGION_RANGE_TYPE 4

typedef struct malloc_statistics_t {
  unsigned blocks_in_use;
  size_t size_in_use;
  size_t max_size_in_use;
  size_t size_allocated;
} malloc_statistics_t;

// How tools look inside a zone.
typedef struct malloc_introspection_t {
  kern_return_t (*enumerator)(task_t task, void* context, unsigned type_mask,
                              vm_address_t zone_address, memory_reader_t reader,
                              vm_range_recorder_t recorder);
  size_t (*good_size)(malloc_zone_t* zone, size_t size);
  boolean_t (*check)(malloc_zone_t* zone);
  void (*print)(malloc_zone_t* zone, boolean_t verbose);
  void (*log)(malloc_zone_t* zone, void* address);
  void (*force_lock)(malloc_zone_t* zone);
  void (*force_unlock)(malloc_zone_t* zone);
  void (*statistics)(malloc_zone_t* zone, malloc_statistics_t* stats);
  boolean_t (*zone_locked)(malloc_zone_t* zone);
  boolean_t (*enable_discharge_checking)(malloc_zone_t* zone);
  void (*disable_discharge_checking)(malloc_zone_t* zone);
  void (*discharge)(malloc_zone_t* zone, void* memory);
  void (*enumerate_discharged_pointers)(malloc_zone_t* zone, void* report_discharged);
  void (*reinit_lock)(malloc_zone_t* zone);
  void (*print_task)(task_t task, unsigned level, vm_address_t zone_address, memory_reader_t reader,
                     print_task_printer_t printer);
  void (*task_statistics)(task_t task, vm_address_t zone_address, memory_reader_t reader,
                          malloc_statistics_t* stats);
  unsigned zone_type;
} malloc_introspection_t;

// One allocator. Every operation receives the zone it is called through. `size` answers the size
// of a block the zone owns and 0 for any other pointer. Fields after `version` exist from the
// version named beside them on; an empty (null) operation is one the zone does not offer.
typedef struct _malloc_zone_t {
  void* reserved1;
  void* reserved2;
  size_t (*size)(malloc_zone_t* zone, const void* ptr);
  void* (*malloc)(malloc_zone_t* zone, size_t size);
  void* (*calloc)(malloc_zone_t* zone, size_t num_items, size_t size);
  void* (*valloc)(malloc_zone_t* zone, size_t size);
  void (*free)(malloc_zone_t* zone, void* ptr);
  void* (*realloc)(malloc_zone_t* zone, void* ptr, size_t size);
  void (*destroy)(malloc_zone_t* zone);
  const char* zone_name;
  unsigned (*batch_malloc)(malloc_zone_t* zone, size_t size, void** results,
                           unsigned num_requested);
  void (*batch_free)(malloc_zone_t* zone, void** to_be_freed, unsigned num_to_be_freed);
  malloc_introspection_t* introspect;
  unsigned version;
  void* (*memalign)(malloc_zone_t* zone, size_t alignment, size_t size);    // 5
  void (*free_definite_size)(malloc_zone_t* zone, void* ptr, size_t size);  // 6
  size_t (*pressure_relief)(malloc_zone_t* zone, size_t goal);              // 8
  boolean_t (*claimed_address)(malloc_zone_t* zone, void* ptr);             // 10
  void (*try_free_default)(malloc_zone_t* zone, void* ptr);                 // 13
} malloc_zone_t;

extern "C" {

// The default zone: the first zone of the list (the built-in default zone while the list is
// empty).
malloc_zone_t* malloc_default_zone(void);

// The purgeable zone, registered (appended to the list) by the first call; later calls return the
// same zone and register nothing.
malloc_zone_t* malloc_default_purgeable_zone(void);

// Gives the zone list of `task` (which must be mach_task_self()) in `*addresses`, in list order,
// and its length in `*count`. `reader` must be null: only the calling process is read. The list
// belongs to the platform: the caller does not release it. Returns KERN_SUCCESS, or
// KERN_INVALID_ARGUMENT for another task, a reader or a null out-parameter.
kern_return_t malloc_get_all_zones(task_t task, memory_reader_t reader, vm_address_t** addresses,
                                   unsigned* count);

// Appends `zone` to the zone list. The list holds a fixed number of zones; registering beyond that
// ends the process through abort_report_np.
void malloc_zone_register(malloc_zone_t* zone);

// Removes the first entry for `zone` from the list; the last zone of the list moves into the slot
// it leaves. A zone that is not registered is ignored.
void malloc_zone_unregister(malloc_zone_t* zone);

// The size of the block at `ptr` as the first registered zone that owns it answers, or 0 when none
// does.
size_t malloc_size(const void* ptr);

}  // extern "C"

#endif  // PLATFORM_INCLUDE_MALLOC_MALLOC_H_
