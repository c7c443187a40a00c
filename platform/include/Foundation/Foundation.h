// The stand-in Foundation framework: reference-counted objects, autorelease pools, strings, arrays.
#ifndef PLATFORM_INCLUDE_FOUNDATION_FOUNDATION_H_
#define PLATFORM_INCLUDE_FOUNDATION_FOUNDATION_H_

#include "CoreFoundation/CoreFoundation.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"

#endif  // PLATFORM_INCLUDE_FOUNDATION_FOUNDATION_H_
