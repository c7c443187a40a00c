// Mach types the malloc zone interfaces are written in, and the task port of the calling process.
#ifndef PLATFORM_INCLUDE_MACH_MACH_H_
#define PLATFORM_INCLUDE_MACH_MACH_H_

#include <cstdint>

typedef unsigned int mach_port_t;
typedef mach_port_t task_t;
typedef int kern_return_t;
typedef unsigned int boolean_t;
typedef uintptr_t vm_address_t;
typedef uintptr_t vm_size_t;

#define KERN_SUCCESS 0
#define KERN_INVALID_ARGUMENT 4
#define KERN_FAILURE 5

extern "C" {
// The task port of the calling process; the only task the zone calls accept.
mach_port_t mach_task_self(void);
}

#endif  // PLATFORM_INCLUDE_MACH_MACH_H_
