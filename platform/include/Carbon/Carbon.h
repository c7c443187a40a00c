// The stand-in Carbon umbrella: only the HIToolbox virtual key codes.
#ifndef PLATFORM_INCLUDE_CARBON_CARBON_H_
#define PLATFORM_INCLUDE_CARBON_CARBON_H_

#include "HIToolbox/Events.h"

#endif  // PLATFORM_INCLUDE_CARBON_CARBON_H_
