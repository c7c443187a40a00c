// The stand-in Core Foundation: CF types are platform objects, so CFRetain and CFRelease are retain
// and release of the object behind the reference.
#ifndef PLATFORM_INCLUDE_COREFOUNDATION_COREFOUNDATION_H_
#define PLATFORM_INCLUDE_COREFOUNDATION_COREFOUNDATION_H_

typedef const void* CFTypeRef;

extern "C" {
CFTypeRef CFRetain(CFTypeRef object);
// Gives up one reference; a null argument is a fault on the platform and aborts here too.
void CFRelease(CFTypeRef object);
}

#endif  // PLATFORM_INCLUDE_COREFOUNDATION_COREFOUNDATION_H_
