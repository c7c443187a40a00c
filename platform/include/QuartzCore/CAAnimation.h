// Core Animation's animations: CAAnimation holds the timing (begin time, duration, autoreverse,
// repeat count, pacing); CABasicAnimation animates one numeric layer property, named by its key
// path, from one boxed value to another.
//
// A layer keeps a copy of an animation added to it (CALayer::addAnimation), so changing the
// animation afterwards does not change what runs.
#ifndef PLATFORM_INCLUDE_QUARTZCORE_CAANIMATION_H_
#define PLATFORM_INCLUDE_QUARTZCORE_CAANIMATION_H_

#include <optional>

#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"
#include "QuartzCore/CABase.h"
#include "QuartzCore/CAMediaTimingFunction.h"

class CAAnimation : public NSObject {
 public:
  ~CAAnimation() override;

  // The media time the animation starts at; 0 until the animation is added to a layer, which sets
  // it to the time of adding.
  CFTimeInterval beginTime() const { return begin_time_; }
  void setBeginTime(CFTimeInterval time) { begin_time_ = time; }

  // Seconds for one pass from the start value to the end value; 0 means 0.25.
  CFTimeInterval duration() const { return duration_; }
  void setDuration(CFTimeInterval duration) { duration_ = duration; }

  // Whether each pass is followed by the same pass backwards.
  BOOL autoreverses() const { return autoreverses_; }
  void setAutoreverses(BOOL autoreverses) { autoreverses_ = autoreverses; }

  // How many cycles (a pass, and its way back when autoreversing) to run; 0 means 1, HUGE_VALF
  // (float +infinity) runs forever.
  float repeatCount() const { return repeat_count_; }
  void setRepeatCount(float count) { repeat_count_ = count; }

  // The pacing; none paces linearly. The animation keeps a reference.
  CAMediaTimingFunction* timingFunction() const { return timing_function_; }
  void setTimingFunction(CAMediaTimingFunction* function);

  // A new animation (+1) with the same settings. Used by layers to keep their own copy.
  virtual CAAnimation* copy() const = 0;

  // The progress (0 to 1, paced) of the animation at media time `time`, or nullopt when the
  // animation is not running then (before its begin time or after its last cycle).
  std::optional<double> progressAtTime(CFTimeInterval time) const;

 protected:
  CAAnimation() = default;
  void copyTimingFrom(const CAAnimation& other);

 private:
  CFTimeInterval begin_time_ = 0;
  CFTimeInterval duration_ = 0;
  BOOL autoreverses_ = NO;
  float repeat_count_ = 0;
  CAMediaTimingFunction* timing_function_ = nullptr;
};

class CABasicAnimation : public CAAnimation {
 public:
  // An autoreleased animation of the layer property named `path` (such as "shadowOpacity").
  static CABasicAnimation* animationWithKeyPath(NSString* path);

  ~CABasicAnimation() override;

  NSString* keyPath() const { return key_path_; }

  // The start and end values, boxed numbers (NSNumber). The animation keeps a reference to each.
  NSObject* fromValue() const { return from_value_; }
  void setFromValue(NSObject* value);
  NSObject* toValue() const { return to_value_; }
  void setToValue(NSObject* value);

  CAAnimation* copy() const override;

  // The animated value at media time `time`, or nullopt when the animation is not running then or
  // its values are not numbers.
  std::optional<double> valueAtTime(CFTimeInterval time) const;

 private:
  CABasicAnimation() = default;

  NSString* key_path_ = nullptr;
  NSObject* from_value_ = nullptr;
  NSObject* to_value_ = nullptr;
};

#endif  // PLATFORM_INCLUDE_QUARTZCORE_CAANIMATION_H_
