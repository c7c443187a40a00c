// The stand-in Core Animation framework.
#ifndef PLATFORM_INCLUDE_QUARTZCORE_QUARTZCORE_H_
#define PLATFORM_INCLUDE_QUARTZCORE_QUARTZCORE_H_

#include "QuartzCore/CAAnimation.h"
#include "QuartzCore/CABase.h"
#include "QuartzCore/CALayer.h"
#include "QuartzCore/CAMediaTimingFunction.h"
#include "QuartzCore/CAShapeLayer.h"

#endif  // PLATFORM_INCLUDE_QUARTZCORE_QUARTZCORE_H_
