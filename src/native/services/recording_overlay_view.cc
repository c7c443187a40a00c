#include "services/recording_overlay_view.h"

#include <cmath>

namespace {

// Captions, each ending in the single ellipsis character U+2026.
constexpr char kListeningCaption[] = "Listening\u2026";
constexpr char kTranscribingCaption[] = "Transcribing\u2026";
constexpr char kProcessingPhase[] = "processing";

constexpr char kPulseOpacityKey[] = "pulse-opacity";
constexpr char kPulseRadiusKey[] = "pulse-radius";

// The capsule: corner radii of half the indicator's height.
constexpr CGFloat kCornerRadius = 18;
constexpr CGFloat kCapsuleGray = 0.11;
constexpr CGFloat kCapsuleAlpha = 0.9;

// The dot and its glow.
constexpr CGRect kDotRect{{14, 13}, {10, 10}};
constexpr CGFloat kDotRed = 1.0, kDotGreen = 0.22, kDotBlue = 0.22;
constexpr CGFloat kGlowRadius = 4.0;
constexpr float kCreatedGlowOpacity = 0.85f;
constexpr float kStillGlowOpacity = 0.5f;

// The caption's box; its height comes from the font.
constexpr CGFloat kCaptionX = 32;
constexpr CGFloat kCaptionWidth = 102;
constexpr CGFloat kIndicatorHeight = 36;
constexpr CGFloat kCaptionFontSize = 13;

// One pulse: out for 1.1 s, back for 1.1 s, forever, easing in and out.
constexpr CFTimeInterval kPulseDuration = 1.1;

CABasicAnimation* PulseAnimation(const char* key_path, double from, double to) {
  CABasicAnimation* animation =
      CABasicAnimation::animationWithKeyPath(NSString::stringWithUTF8String(key_path));
  animation->setFromValue(NSNumber::numberWithDouble(from));
  animation->setToValue(NSNumber::numberWithDouble(to));
  animation->setDuration(kPulseDuration);
  animation->setAutoreverses(YES);
  animation->setRepeatCount(HUGE_VALF);
  animation->setTimingFunction(
      CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionEaseInEaseOut));
  return animation;
}

}  // namespace

RecordingOverlayView* RecordingOverlayView::initWithFrame(CGRect frame) {
  if (NSView::initWithFrame(frame) == nullptr) return nullptr;
  setWantsLayer(YES);
  buildDotLayer();
  buildLabel();
  return this;
}

void RecordingOverlayView::buildDotLayer() {
  _dotLayer = CAShapeLayer::layer();
  CGPathRef dot = CGPathCreateWithEllipseInRect(kDotRect, nullptr);
  _dotLayer->setPath(dot);
  CGPathRelease(dot);
  _dotLayer->setFillColor(NSColor::colorWithRed(kDotRed, kDotGreen, kDotBlue, 1.0)->CGColor());
  _dotLayer->setShadowColor(NSColor::colorWithRed(kDotRed, kDotGreen, kDotBlue, 1.0)->CGColor());
  _dotLayer->setShadowRadius(kGlowRadius);
  _dotLayer->setShadowOpacity(kCreatedGlowOpacity);
  _dotLayer->setShadowOffset(CGSizeZero);
  layer()->addSublayer(_dotLayer);
}

void RecordingOverlayView::buildLabel() {
  _label = NSTextField::labelWithString(NSString::stringWithUTF8String(kListeningCaption));
  _label->setFont(NSFont::systemFontOfSize(kCaptionFontSize, NSFontWeightMedium));
  _label->setTextColor(NSColor::whiteColor());
  _label->sizeToFit();
  const CGFloat height = _label->frame().size.height;
  _label->setFrame(CGRectMake(kCaptionX, (kIndicatorHeight - height) * 0.5, kCaptionWidth, height));
  addSubview(_label);
}

void RecordingOverlayView::drawRect(CGRect /*dirty_rect*/) {
  NSBezierPath* capsule =
      NSBezierPath::bezierPathWithRoundedRect(bounds(), kCornerRadius, kCornerRadius);
  NSColor::colorWithRed(kCapsuleGray, kCapsuleGray, kCapsuleGray, kCapsuleAlpha)->setFill();
  capsule->fill();
}

void RecordingOverlayView::setPhase(NSString* phase) {
  const bool processing =
      phase != nullptr && phase->isEqualToString(NSString::stringWithUTF8String(kProcessingPhase));
  _label->setStringValue(
      NSString::stringWithUTF8String(processing ? kTranscribingCaption : kListeningCaption));
  if (processing) {
    _dotLayer->removeAnimationForKey(NSString::stringWithUTF8String(kPulseOpacityKey));
    _dotLayer->removeAnimationForKey(NSString::stringWithUTF8String(kPulseRadiusKey));
    _dotLayer->setShadowOpacity(kStillGlowOpacity);
    _dotLayer->setShadowRadius(kGlowRadius);
    return;
  }
  _dotLayer->addAnimation(PulseAnimation("shadowOpacity", 0.45, 1.0),
                          NSString::stringWithUTF8String(kPulseOpacityKey));
  _dotLayer->addAnimation(PulseAnimation("shadowRadius", 2.0, 9.0),
                          NSString::stringWithUTF8String(kPulseRadiusKey));
}
