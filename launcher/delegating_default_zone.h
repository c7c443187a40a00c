// The delegating default zone: a malloc zone that owns no memory and hands every request to the
// zone that was the default before it. It holds the head of the zone list for the engine's
// allocator, which registers a zone named "PartitionAlloc" of its own later.
#ifndef LAUNCHER_DELEGATING_DEFAULT_ZONE_H_
#define LAUNCHER_DELEGATING_DEFAULT_ZONE_H_

// Makes the delegating zone the first zone of the process's zone list, with the previous default
// zone and the purgeable zone behind it. Returns only when that holds; anything unexpected (the
// zone list cannot be read, the delegating zone or a "PartitionAlloc" zone is registered already,
// the reordering did not take) ends the process through abort_report_np.
//
// Main thread, once, before any other thread exists and before anything else allocates.
void RegisterDelegatingDefaultZone();

#endif  // LAUNCHER_DELEGATING_DEFAULT_ZONE_H_
