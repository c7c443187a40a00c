#include <Foundation/NSNumber.h>
#include <QuartzCore/CAAnimation.h>

#include <cmath>

CAAnimation::~CAAnimation() { NSRelease(timing_function_); }

void CAAnimation::setTimingFunction(CAMediaTimingFunction* function) {
  NSRetain(function);
  NSRelease(timing_function_);
  timing_function_ = function;
}

void CAAnimation::copyTimingFrom(const CAAnimation& other) {
  begin_time_ = other.begin_time_;
  duration_ = other.duration_;
  autoreverses_ = other.autoreverses_;
  repeat_count_ = other.repeat_count_;
  setTimingFunction(other.timing_function_);
}

std::optional<double> CAAnimation::progressAtTime(CFTimeInterval time) const {
  const double pass = duration_ > 0 ? duration_ : 0.25;
  const double cycle = autoreverses_ ? 2 * pass : pass;
  const double cycles = repeat_count_ > 0 ? static_cast<double>(repeat_count_) : 1.0;
  const double local = time - begin_time_;
  // An animation that has finished is removed, and the layer's own value shows again.
  if (local < 0 || local >= cycle * cycles) return std::nullopt;
  double within = std::fmod(local, cycle);
  if (within > pass) within = cycle - within;
  const double progress = within / pass;
  return timing_function_ == nullptr ? progress : timing_function_->paced(progress);
}

CABasicAnimation* CABasicAnimation::animationWithKeyPath(NSString* path) {
  auto* animation = new CABasicAnimation();
  animation->key_path_ = NSRetain(path);
  return NSAutorelease(animation);
}

CABasicAnimation::~CABasicAnimation() {
  NSRelease(key_path_);
  NSRelease(from_value_);
  NSRelease(to_value_);
}

void CABasicAnimation::setFromValue(NSObject* value) {
  NSRetain(value);
  NSRelease(from_value_);
  from_value_ = value;
}

void CABasicAnimation::setToValue(NSObject* value) {
  NSRetain(value);
  NSRelease(to_value_);
  to_value_ = value;
}

CAAnimation* CABasicAnimation::copy() const {
  auto* copy = new CABasicAnimation();
  copy->copyTimingFrom(*this);
  copy->key_path_ = NSRetain(key_path_);
  copy->setFromValue(from_value_);
  copy->setToValue(to_value_);
  return copy;
}

std::optional<double> CABasicAnimation::valueAtTime(CFTimeInterval time) const {
  const auto* from = dynamic_cast<const NSNumber*>(from_value_);
  const auto* to = dynamic_cast<const NSNumber*>(to_value_);
  if (from == nullptr || to == nullptr) return std::nullopt;
  const std::optional<double> progress = progressAtTime(time);
  if (!progress) return std::nullopt;
  return from->doubleValue() + (to->doubleValue() - from->doubleValue()) * *progress;
}
