// CAMediaTimingFunction: the pacing of an animation, a cubic Bézier curve from (0, 0) to (1, 1)
// whose two inner control points give the shape.
#ifndef PLATFORM_INCLUDE_QUARTZCORE_CAMEDIATIMINGFUNCTION_H_
#define PLATFORM_INCLUDE_QUARTZCORE_CAMEDIATIMINGFUNCTION_H_

#include <cstddef>

#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"

typedef NSString* CAMediaTimingFunctionName;

// Slow at the start and at the end: control points (0.42, 0) and (0.58, 1).
extern CAMediaTimingFunctionName const kCAMediaTimingFunctionEaseInEaseOut;
// Even pace: control points (0, 0) and (1, 1).
extern CAMediaTimingFunctionName const kCAMediaTimingFunctionLinear;

class CAMediaTimingFunction : public NSObject {
 public:
  // The autoreleased function of that name; null for a name it does not know.
  static CAMediaTimingFunction* functionWithName(CAMediaTimingFunctionName name);

  CAMediaTimingFunction(float c1x, float c1y, float c2x, float c2y);

  // Control point `index` (0 to 3: the start, the two inner points, the end) into values[0] (x)
  // and values[1] (y). An index above 3 leaves `values` unchanged.
  void getControlPointAtIndex(size_t index, float values[2]) const;

  // The paced progress for `progress` (0 to 1, clamped): the curve's y where its x is `progress`.
  double paced(double progress) const;

 private:
  float c1x_, c1y_, c2x_, c2y_;
};

#endif  // PLATFORM_INCLUDE_QUARTZCORE_CAMEDIATIMINGFUNCTION_H_
