// The process's malloc family, as the platform has it: every call goes to the first zone of the
// zone list, so once a zone is registered in front, every allocation of the process passes through
// it. Linked into the launcher executable and exported from it, so glibc and every image bind here.
//
// Safe from the first allocation of the process on (before any constructor has run) and from every
// thread: the zone list's first zone is one atomic load, and the system zones are
// constant-initialised.
#include <malloc.h>
#include <malloc/malloc.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace {

bool IsPowerOfTwo(size_t value) { return value != 0 && (value & (value - 1)) == 0; }

}  // namespace

extern "C" {

void* malloc(size_t size) noexcept {
  malloc_zone_t* zone = malloc_default_zone();
  return zone->malloc(zone, size);
}

void free(void* ptr) noexcept {
  if (ptr == nullptr) return;
  malloc_zone_t* zone = malloc_default_zone();
  zone->free(zone, ptr);
}

void* calloc(size_t count, size_t size) noexcept {
  malloc_zone_t* zone = malloc_default_zone();
  return zone->calloc(zone, count, size);
}

void* realloc(void* ptr, size_t size) noexcept {
  malloc_zone_t* zone = malloc_default_zone();
  return zone->realloc(zone, ptr, size);
}

void* valloc(size_t size) noexcept {
  malloc_zone_t* zone = malloc_default_zone();
  return zone->valloc(zone, size);
}

void* pvalloc(size_t size) noexcept {
  const size_t page = static_cast<size_t>(getpagesize());
  if (size > SIZE_MAX - page) {
    errno = ENOMEM;
    return nullptr;
  }
  return valloc((size + page - 1) & ~(page - 1));
}

void* memalign(size_t alignment, size_t size) noexcept {
  malloc_zone_t* zone = malloc_default_zone();
  return zone->memalign(zone, alignment, size);
}

int posix_memalign(void** result, size_t alignment, size_t size) noexcept {
  if (!IsPowerOfTwo(alignment) || alignment % sizeof(void*) != 0) return EINVAL;
  const int saved_errno = errno;
  void* block = memalign(alignment, size);
  errno = saved_errno;
  if (block == nullptr) return ENOMEM;
  *result = block;
  return 0;
}

void* aligned_alloc(size_t alignment, size_t size) noexcept {
  if (!IsPowerOfTwo(alignment)) {
    errno = EINVAL;
    return nullptr;
  }
  return memalign(alignment, size);
}

size_t malloc_usable_size(void* ptr) noexcept { return malloc_size(ptr); }

}  // extern "C"
