#include <Foundation/NSNumber.h>

NSNumber* NSNumber::numberWithDouble(double value) { return NSAutorelease(new NSNumber(value)); }

NSNumber::NSNumber(double value) : value_(value) {}

double NSNumber::doubleValue() const { return value_; }

float NSNumber::floatValue() const { return static_cast<float>(value_); }

BOOL NSNumber::isEqual(const NSObject* other) const {
  const auto* number = dynamic_cast<const NSNumber*>(other);
  return number != nullptr && number->value_ == value_;
}
