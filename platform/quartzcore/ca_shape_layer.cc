#include <QuartzCore/CAShapeLayer.h>

CAShapeLayer* CAShapeLayer::layer() { return NSAutorelease(new CAShapeLayer()); }

CAShapeLayer::CAShapeLayer() : fill_color_(CGColorCreateSRGB(0, 0, 0, 1)) {}

CAShapeLayer::~CAShapeLayer() {
  CGPathRelease(path_);
  CGColorRelease(fill_color_);
}

void CAShapeLayer::setPath(CGPathRef path) {
  CGPathRetain(path);
  CGPathRelease(path_);
  path_ = path;
}

void CAShapeLayer::setFillColor(CGColorRef color) {
  CGColorRetain(color);
  CGColorRelease(fill_color_);
  fill_color_ = color;
}
