// NSNumber: an immutable boxed number. Only double-precision values are boxed here; they read back
// as double or, rounded, as float.
#ifndef PLATFORM_INCLUDE_FOUNDATION_NSNUMBER_H_
#define PLATFORM_INCLUDE_FOUNDATION_NSNUMBER_H_

#include "Foundation/NSObject.h"

class NSNumber : public NSObject {
 public:
  // An autoreleased number holding `value`.
  static NSNumber* numberWithDouble(double value);

  explicit NSNumber(double value);

  double doubleValue() const;
  float floatValue() const;

  // Equal to another number of the same value.
  BOOL isEqual(const NSObject* other) const override;

 private:
  double value_;
};

#endif  // PLATFORM_INCLUDE_FOUNDATION_NSNUMBER_H_
