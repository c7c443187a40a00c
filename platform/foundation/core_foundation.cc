#include <CoreFoundation/CoreFoundation.h>
#include <Foundation/NSObject.h>

#include <cstdio>
#include <cstdlib>

namespace {

NSObject* ObjectBehind(CFTypeRef reference) {
  return const_cast<NSObject*>(static_cast<const NSObject*>(reference));
}

}  // namespace

extern "C" CFTypeRef CFRetain(CFTypeRef object) {
  if (object == nullptr) {
    std::fputs("CFRetain: NULL argument\n", stderr);
    std::abort();
  }
  ObjectBehind(object)->retain();
  return object;
}

extern "C" void CFRelease(CFTypeRef object) {
  if (object == nullptr) {
    std::fputs("CFRelease: NULL argument\n", stderr);
    std::abort();
  }
  ObjectBehind(object)->release();
}
