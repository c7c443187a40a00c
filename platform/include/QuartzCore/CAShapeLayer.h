// CAShapeLayer: a layer whose content is a filled path, in the layer's own coordinates.
#ifndef PLATFORM_INCLUDE_QUARTZCORE_CASHAPELAYER_H_
#define PLATFORM_INCLUDE_QUARTZCORE_CASHAPELAYER_H_

#include "CoreGraphics/CGColor.h"
#include "CoreGraphics/CGPath.h"
#include "QuartzCore/CALayer.h"

class CAShapeLayer : public CALayer {
 public:
  // An autoreleased shape layer with no path and an opaque black fill.
  static CAShapeLayer* layer();

  CAShapeLayer();
  ~CAShapeLayer() override;

  // The shape; the layer keeps a reference of its own.
  CGPathRef path() const { return path_; }
  void setPath(CGPathRef path);

  // The fill colour; the layer keeps a reference of its own. None fills nothing.
  CGColorRef fillColor() const { return fill_color_; }
  void setFillColor(CGColorRef color);

 private:
  CGPathRef path_ = nullptr;
  CGColorRef fill_color_ = nullptr;
};

#endif  // PLATFORM_INCLUDE_QUARTZCORE_CASHAPELAYER_H_
