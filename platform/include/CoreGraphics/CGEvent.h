// Quartz event services: keyboard events created by a program and posted into the system's input
// stream, where they reach the application with keyboard focus like keys typed on the keyboard.
//
// A CGEventRef is a reference-counted platform object: the creator owns it and gives it up with
// CFRelease, so an event that is never released stays alive (and visible as a leak).
//
// Threads: every function here may be called from any thread.
#ifndef PLATFORM_INCLUDE_COREGRAPHICS_CGEVENT_H_
#define PLATFORM_INCLUDE_COREGRAPHICS_CGEVENT_H_

#include <cstdint>

#include "CoreFoundation/CoreFoundation.h"

class CGEvent;
class CGEventSource;
typedef CGEvent* CGEventRef;
typedef CGEventSource* CGEventSourceRef;

typedef uint16_t CGKeyCode;

// Modifier flags of an event.
typedef uint64_t CGEventFlags;
enum : CGEventFlags {
  kCGEventFlagMaskAlphaShift = 0x00010000,
  kCGEventFlagMaskShift = 0x00020000,
  kCGEventFlagMaskControl = 0x00040000,
  kCGEventFlagMaskAlternate = 0x00080000,
  kCGEventFlagMaskCommand = 0x00100000,
};

typedef uint32_t CGEventType;
enum : CGEventType {
  kCGEventKeyDown = 10,
  kCGEventKeyUp = 11,
};

// Where an event enters the input stream.
typedef uint32_t CGEventTapLocation;
enum : CGEventTapLocation {
  // Where hardware input enters the system, ahead of every application.
  kCGHIDEventTap = 0,
  kCGSessionEventTap = 1,
  kCGAnnotatedSessionEventTap = 2,
};

extern "C" {

// A new key-down or key-up event for the key at `virtualKey`, owned by the caller. Its flags are
// the modifier keys physically held at this moment. `source` may be null. Returns null when the
// event cannot be created.
CGEventRef CGEventCreateKeyboardEvent(CGEventSourceRef source, CGKeyCode virtualKey, bool keyDown);

// Replaces the event's modifier flags with exactly `flags`.
void CGEventSetFlags(CGEventRef event, CGEventFlags flags);

// Posts a copy of the event into the input stream at `tap`; it is delivered to the application with
// keyboard focus, if any. The caller keeps its reference. A null event is ignored.
void CGEventPost(CGEventTapLocation tap, CGEventRef event);

}  // extern "C"

#endif  // PLATFORM_INCLUDE_COREGRAPHICS_CGEVENT_H_
