// CALayer: a node of the layer tree that a layer-backed view draws into. It holds its sublayers
// (drawn above its own content, in order), a shadow drawn beneath its content, and the animations
// running on its properties under their keys.
//
// Geometry: `frame` is in the superlayer's coordinates, origin at the bottom left. Sublayers are
// not clipped to their superlayer's bounds.
//
// Threads: main thread only, like the views that own layers.
#ifndef PLATFORM_INCLUDE_QUARTZCORE_CALAYER_H_
#define PLATFORM_INCLUDE_QUARTZCORE_CALAYER_H_

#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "CoreGraphics/CGColor.h"
#include "CoreGraphics/CGGeometry.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"
#include "QuartzCore/CAAnimation.h"
#include "QuartzCore/CABase.h"

class NSView;

class CALayer : public NSObject {
 public:
  // An autoreleased layer with a zero frame.
  static CALayer* layer();

  CALayer() = default;
  ~CALayer() override;

  CGRect frame() const { return frame_; }
  void setFrame(CGRect frame) { frame_ = frame; }
  // The layer's own rectangle: origin zero, the frame's size.
  CGRect bounds() const { return CGRect{CGPointZero, frame_.size}; }

  // Appends `layer` (taking a reference) above the other sublayers, after removing it from any
  // superlayer it had.
  void addSublayer(CALayer* layer);
  void removeFromSuperlayer();
  // The sublayers in drawing order (autoreleased array); null when there are none.
  NSArray* sublayers() const;
  CALayer* superlayer() const { return superlayer_; }

  // Shadow: the colour (the layer keeps a reference; none draws no shadow), its opacity (0 to 1),
  // the blur radius in points and the offset from the content.
  CGColorRef shadowColor() const { return shadow_color_; }
  void setShadowColor(CGColorRef color);
  float shadowOpacity() const { return shadow_opacity_; }
  void setShadowOpacity(float opacity) { shadow_opacity_ = opacity; }
  CGFloat shadowRadius() const { return shadow_radius_; }
  void setShadowRadius(CGFloat radius) { shadow_radius_ = radius; }
  CGSize shadowOffset() const { return shadow_offset_; }
  void setShadowOffset(CGSize offset) { shadow_offset_ = offset; }

  // Starts a copy of `animation` under `key`, beginning now unless its begin time is set. An
  // animation already under the same key is removed first: keys never stack. A null key adds an
  // animation that no key reaches.
  void addAnimation(CAAnimation* animation, NSString* key);
  // Stops the animation under `key`; nothing happens when there is none.
  void removeAnimationForKey(NSString* key);
  void removeAllAnimations();
  // The running animation under `key` (the layer's copy), or null.
  CAAnimation* animationForKey(NSString* key) const;
  // The keys of the running animations in the order they were added (autoreleased array of
  // NSString); null when there are none.
  NSArray* animationKeys() const;

  // The value of the numeric property named by `key_path` ("shadowOpacity", "shadowRadius") as
  // set on the layer, or nullopt for a name the layer does not animate.
  std::optional<double> numericValueForKeyPath(std::string_view key_path) const;

  // What is on screen at media time `time` for that property: the value of the last-added
  // animation of `key_path` running then, else the value set on the layer. Stand-in only: the
  // renderer and tests sample pulsing properties with it.
  std::optional<double> presentationValueForKeyPath(std::string_view key_path,
                                                    CFTimeInterval time) const;

  // The view whose drawing is this layer's content, when the layer backs a view. Set by NSView.
  NSView* delegate() const { return delegate_; }
  void setDelegate(NSView* view) { delegate_ = view; }

 private:
  CGRect frame_ = CGRectZero;
  std::vector<CALayer*> sublayers_;
  CALayer* superlayer_ = nullptr;
  CGColorRef shadow_color_ = nullptr;
  float shadow_opacity_ = 0;
  CGFloat shadow_radius_ = 3;
  CGSize shadow_offset_{0, -3};
  std::vector<std::pair<NSString*, CAAnimation*>> animations_;  // both held, in adding order
  NSView* delegate_ = nullptr;
};

#endif  // PLATFORM_INCLUDE_QUARTZCORE_CALAYER_H_
