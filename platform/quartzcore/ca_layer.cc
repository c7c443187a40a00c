#include <QuartzCore/CALayer.h>

#include <algorithm>

CALayer* CALayer::layer() { return NSAutorelease(new CALayer()); }

CALayer::~CALayer() {
  for (CALayer* sublayer : sublayers_) {
    sublayer->superlayer_ = nullptr;
    sublayer->release();
  }
  removeAllAnimations();
  CGColorRelease(shadow_color_);
}

void CALayer::addSublayer(CALayer* layer) {
  if (layer == nullptr || layer == this) return;
  layer->retain();
  layer->removeFromSuperlayer();
  layer->superlayer_ = this;
  sublayers_.push_back(layer);
}

void CALayer::removeFromSuperlayer() {
  CALayer* parent = superlayer_;
  if (parent == nullptr) return;
  auto it = std::find(parent->sublayers_.begin(), parent->sublayers_.end(), this);
  if (it == parent->sublayers_.end()) return;
  parent->sublayers_.erase(it);
  superlayer_ = nullptr;
  release();
}

NSArray* CALayer::sublayers() const {
  if (sublayers_.empty()) return nullptr;
  std::vector<NSObject*> objects(sublayers_.begin(), sublayers_.end());
  return NSAutorelease(new NSArray(std::move(objects)));
}

void CALayer::setShadowColor(CGColorRef color) {
  CGColorRetain(color);
  CGColorRelease(shadow_color_);
  shadow_color_ = color;
}

void CALayer::addAnimation(CAAnimation* animation, NSString* key) {
  if (animation == nullptr) return;
  if (key != nullptr) removeAnimationForKey(key);
  CAAnimation* running = animation->copy();
  if (running->beginTime() == 0) running->setBeginTime(CACurrentMediaTime());
  NSString* kept_key = key == nullptr ? nullptr : new NSString(key->view());
  animations_.emplace_back(kept_key, running);
}

void CALayer::removeAnimationForKey(NSString* key) {
  if (key == nullptr) return;
  auto it = std::find_if(animations_.begin(), animations_.end(), [key](const auto& entry) {
    return entry.first != nullptr && entry.first->isEqualToString(key);
  });
  if (it == animations_.end()) return;
  NSRelease(it->first);
  NSRelease(it->second);
  animations_.erase(it);
}

void CALayer::removeAllAnimations() {
  for (auto& [key, animation] : animations_) {
    NSRelease(key);
    NSRelease(animation);
  }
  animations_.clear();
}

CAAnimation* CALayer::animationForKey(NSString* key) const {
  if (key == nullptr) return nullptr;
  for (const auto& [entry_key, animation] : animations_) {
    if (entry_key != nullptr && entry_key->isEqualToString(key)) return animation;
  }
  return nullptr;
}

NSArray* CALayer::animationKeys() const {
  std::vector<NSObject*> keys;
  for (const auto& entry : animations_) {
    if (entry.first != nullptr) keys.push_back(entry.first);
  }
  if (keys.empty()) return nullptr;
  return NSAutorelease(new NSArray(std::move(keys)));
}

std::optional<double> CALayer::numericValueForKeyPath(std::string_view key_path) const {
  if (key_path == "shadowOpacity") return shadow_opacity_;
  if (key_path == "shadowRadius") return shadow_radius_;
  return std::nullopt;
}

std::optional<double> CALayer::presentationValueForKeyPath(std::string_view key_path,
                                                           CFTimeInterval time) const {
  std::optional<double> value = numericValueForKeyPath(key_path);
  if (!value) return std::nullopt;
  for (const auto& entry : animations_) {
    const auto* basic = dynamic_cast<const CABasicAnimation*>(entry.second);
    if (basic == nullptr || basic->keyPath() == nullptr || basic->keyPath()->view() != key_path) {
      continue;
    }
    if (std::optional<double> animated = basic->valueAtTime(time)) value = animated;
  }
  return value;
}
