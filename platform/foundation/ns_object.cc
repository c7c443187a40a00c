#include <Foundation/NSObject.h>

#include <atomic>
#include <cstdio>
#include <vector>

#include "standin/objects.h"

namespace {

std::atomic<long> live_objects{0};

// The autorelease pools of one thread: a stack of objects with the pool boundaries as indexes into
// it. A pool is known by its depth, not its boundary: nested pools opened with no object between
// them share a boundary.
struct ThreadPools {
  std::vector<NSObject*> objects;
  std::vector<size_t> boundaries;

  ~ThreadPools() {
    // A thread that ends with open pools drains them, as the platform does.
    if (!boundaries.empty()) Pop(0);
  }

  // Closes the pool at `depth` and every pool inside it.
  void Pop(size_t depth) {
    if (depth >= boundaries.size()) return;
    const size_t boundary = boundaries[depth];
    boundaries.resize(depth);
    while (objects.size() > boundary) {
      NSObject* object = objects.back();
      objects.pop_back();
      object->release();  // may autorelease more objects into this very stack
    }
  }
};

ThreadPools& CurrentThreadPools() {
  thread_local ThreadPools pools;
  return pools;
}

}  // namespace

NSObject::NSObject() { live_objects.fetch_add(1, std::memory_order_relaxed); }

NSObject::~NSObject() { live_objects.fetch_sub(1, std::memory_order_relaxed); }

NSObject* NSObject::retain() {
  retain_count_.fetch_add(1, std::memory_order_relaxed);
  return this;
}

void NSObject::release() {
  if (retain_count_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
}

NSObject* NSObject::autorelease() {
  ThreadPools& pools = CurrentThreadPools();
  if (pools.boundaries.empty()) {
    std::fprintf(stderr, "objc: object %p autoreleased with no pool in place - just leaking\n",
                 static_cast<void*>(this));
    return this;
  }
  pools.objects.push_back(this);
  return this;
}

NSUInteger NSObject::retainCount() const {
  return static_cast<NSUInteger>(retain_count_.load(std::memory_order_relaxed));
}

BOOL NSObject::isEqual(const NSObject* other) const { return other == this; }

extern "C" void* objc_autoreleasePoolPush(void) {
  ThreadPools& pools = CurrentThreadPools();
  const size_t depth = pools.boundaries.size();
  pools.boundaries.push_back(pools.objects.size());
  // Token 0 would read as null; depths are offset by one.
  return reinterpret_cast<void*>(depth + 1);
}

extern "C" void objc_autoreleasePoolPop(void* token) {
  if (token == nullptr) return;
  CurrentThreadPools().Pop(reinterpret_cast<size_t>(token) - 1);
}

namespace standin {

long LiveObjectCount() { return live_objects.load(std::memory_order_relaxed); }

size_t PendingAutoreleaseCount() { return CurrentThreadPools().objects.size(); }

}  // namespace standin
