// Test-facing view of the stand-in object model: how many platform objects are alive, so a test can
// check that a call's temporary objects are gone once its autorelease pool is popped.
#ifndef PLATFORM_INCLUDE_STANDIN_OBJECTS_H_
#define PLATFORM_INCLUDE_STANDIN_OBJECTS_H_

#include <cstddef>

namespace standin {

// Platform objects (NSObject and everything derived from it, CF objects included) alive right now.
long LiveObjectCount();

// Objects autoreleased on the calling thread and waiting in its open pools.
size_t PendingAutoreleaseCount();

}  // namespace standin

#endif  // PLATFORM_INCLUDE_STANDIN_OBJECTS_H_
