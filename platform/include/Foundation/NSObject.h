// NSObject: the reference-counted root of every stand-in platform object. A new object holds one
// reference (the one `alloc` gives on the platform: here `new`); `release` of the last reference
// destroys it; `autorelease` hands one reference to the innermost autorelease pool of the thread.
//
// Threads: retain and release are atomic and may be called from any thread.
#ifndef PLATFORM_INCLUDE_FOUNDATION_NSOBJECT_H_
#define PLATFORM_INCLUDE_FOUNDATION_NSOBJECT_H_

#include <atomic>

using BOOL = bool;
inline constexpr BOOL YES = true;
inline constexpr BOOL NO = false;
using NSInteger = long;
using NSUInteger = unsigned long;

class NSObject {
 public:
  NSObject();
  virtual ~NSObject();

  NSObject(const NSObject&) = delete;
  NSObject& operator=(const NSObject&) = delete;

  NSObject* retain();
  void release();
  NSObject* autorelease();
  NSUInteger retainCount() const;

  virtual BOOL isEqual(const NSObject* other) const;

 private:
  std::atomic<long> retain_count_{1};
};

// Typed conveniences for the three reference operations.
template <typename T>
T* NSRetain(T* object) {
  if (object != nullptr) object->retain();
  return object;
}

template <typename T>
T* NSAutorelease(T* object) {
  if (object != nullptr) object->autorelease();
  return object;
}

inline void NSRelease(NSObject* object) {
  if (object != nullptr) object->release();
}

extern "C" {
// Opens an autorelease pool scope on the calling thread and returns its token.
void* objc_autoreleasePoolPush(void);
// Closes the scope `token` (and any inner scope left open), releasing every object autoreleased
// into them, innermost last-in first.
void objc_autoreleasePoolPop(void* token);
}

#endif  // PLATFORM_INCLUDE_FOUNDATION_NSOBJECT_H_
