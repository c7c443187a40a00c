// Virtual key codes: positions on the keyboard, named after the key at that position on the ANSI
// layout, whatever character the active layout gives it.
#ifndef PLATFORM_INCLUDE_HITOOLBOX_EVENTS_H_
#define PLATFORM_INCLUDE_HITOOLBOX_EVENTS_H_

enum {
  kVK_ANSI_V = 0x09,
};

#endif  // PLATFORM_INCLUDE_HITOOLBOX_EVENTS_H_
