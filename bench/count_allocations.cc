// Counts the heap allocations of one call through the bridge. The program replaces the process's
// malloc family with counting wrappers around glibc's own entry points, so every allocation of
// every image (protobuf, the C++ runtime's operator new, the library) is seen.
//
// Prints one line per call kind: `allocations_per_<kind> <allocations per call>`.
#include <atomic>
#include <cstddef>
#include <cstdio>

#include "bridge_calls.h"

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* block);
}

namespace {

std::atomic<long> allocations{0};

void* Counted(void* block) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  return block;
}

}  // namespace

extern "C" {
void* malloc(size_t size) { return Counted(__libc_malloc(size)); }
void* calloc(size_t count, size_t size) { return Counted(__libc_calloc(count, size)); }
void* realloc(void* block, size_t size) { return Counted(__libc_realloc(block, size)); }
void* memalign(size_t alignment, size_t size) { return Counted(__libc_memalign(alignment, size)); }
void* aligned_alloc(size_t alignment, size_t size) { return memalign(alignment, size); }
int posix_memalign(void** result, size_t alignment, size_t size) {
  *result = memalign(alignment, size);
  return *result == nullptr ? 12 /* ENOMEM */ : 0;
}
void free(void* block) { __libc_free(block); }
}

namespace {

double AllocationsPerCall(void (*call)()) {
  for (int i = 0; i < 100; ++i) call();  // one-time initialisation is not counted
  constexpr long kCalls = 10000;
  const long before = allocations.load();
  for (long i = 0; i < kCalls; ++i) call();
  return static_cast<double>(allocations.load() - before) / kCalls;
}

}  // namespace

int main() {
  using namespace ondrel::bench;
  PrepareBridge();
  std::printf("allocations_per_inbound_empty %.2f\n", AllocationsPerCall(&InboundEmpty));
  std::printf("allocations_per_inbound_floor_empty %.2f\n", AllocationsPerCall(&InboundFloorEmpty));
  std::printf("allocations_per_inbound_small %.2f\n", AllocationsPerCall(&InboundSmall));
  std::printf("allocations_per_inbound_floor_small %.2f\n", AllocationsPerCall(&InboundFloorSmall));
  std::printf("allocations_per_outgoing_empty %.2f\n", AllocationsPerCall(&OutgoingEmpty));
  std::printf("allocations_per_outgoing_floor_empty %.2f\n",
              AllocationsPerCall(&OutgoingFloorEmpty));
  return 0;
}
