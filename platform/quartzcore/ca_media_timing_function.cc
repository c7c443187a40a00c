#include <QuartzCore/CABase.h>
#include <QuartzCore/CAMediaTimingFunction.h>

#include <algorithm>
#include <chrono>
#include <cmath>

CAMediaTimingFunctionName const kCAMediaTimingFunctionEaseInEaseOut = new NSString("easeInEaseOut");
CAMediaTimingFunctionName const kCAMediaTimingFunctionLinear = new NSString("linear");

extern "C" CFTimeInterval CACurrentMediaTime(void) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

CAMediaTimingFunction* CAMediaTimingFunction::functionWithName(CAMediaTimingFunctionName name) {
  if (name == nullptr) return nullptr;
  if (name->isEqualToString(kCAMediaTimingFunctionEaseInEaseOut)) {
    return NSAutorelease(new CAMediaTimingFunction(0.42f, 0.0f, 0.58f, 1.0f));
  }
  if (name->isEqualToString(kCAMediaTimingFunctionLinear)) {
    return NSAutorelease(new CAMediaTimingFunction(0.0f, 0.0f, 1.0f, 1.0f));
  }
  return nullptr;
}

CAMediaTimingFunction::CAMediaTimingFunction(float c1x, float c1y, float c2x, float c2y)
    : c1x_(c1x), c1y_(c1y), c2x_(c2x), c2y_(c2y) {}

void CAMediaTimingFunction::getControlPointAtIndex(size_t index, float values[2]) const {
  const float points[4][2] = {{0, 0}, {c1x_, c1y_}, {c2x_, c2y_}, {1, 1}};
  if (index > 3) return;
  values[0] = points[index][0];
  values[1] = points[index][1];
}

double CAMediaTimingFunction::paced(double progress) const {
  const double x = std::clamp(progress, 0.0, 1.0);
  // One coordinate of the curve with inner control values a and b, at parameter t.
  auto bezier = [](double a, double b, double t) {
    const double u = 1 - t;
    return 3 * u * u * t * a + 3 * u * t * t * b + t * t * t;
  };
  // x(t) rises monotonically for control x values within [0, 1]: bisect for the t of `x`.
  double low = 0, high = 1;
  for (int i = 0; i < 60; ++i) {
    const double mid = (low + high) / 2;
    (bezier(c1x_, c2x_, mid) < x ? low : high) = mid;
  }
  return bezier(c1y_, c2y_, (low + high) / 2);
}
