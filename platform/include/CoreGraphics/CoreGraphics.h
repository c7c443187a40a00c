// The stand-in Core Graphics framework.
#ifndef PLATFORM_INCLUDE_COREGRAPHICS_COREGRAPHICS_H_
#define PLATFORM_INCLUDE_COREGRAPHICS_COREGRAPHICS_H_

#include "CoreGraphics/CGAffineTransform.h"
#include "CoreGraphics/CGColor.h"
#include "CoreGraphics/CGEvent.h"
#include "CoreGraphics/CGGeometry.h"
#include "CoreGraphics/CGPath.h"

#endif  // PLATFORM_INCLUDE_COREGRAPHICS_COREGRAPHICS_H_
