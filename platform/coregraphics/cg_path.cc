#include <CoreGraphics/CGPath.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

using Element = CGPath::Element;

// The distance of a cubic's control points from the ends of a quarter ellipse of radius 1 that
// keeps the curve closest to the true arc.
constexpr CGFloat kQuarterArcControl = 0.5522847498307936;

Element MoveTo(CGPoint p) { return {kCGPathElementMoveToPoint, {p, {}, {}}}; }
Element LineTo(CGPoint p) { return {kCGPathElementAddLineToPoint, {p, {}, {}}}; }
Element CurveTo(CGPoint c1, CGPoint c2, CGPoint end) {
  return {kCGPathElementAddCurveToPoint, {c1, c2, end}};
}
Element Close() { return {kCGPathElementCloseSubpath, {}}; }

int PointCount(CGPathElementType type) {
  switch (type) {
    case kCGPathElementMoveToPoint:
    case kCGPathElementAddLineToPoint:
      return 1;
    case kCGPathElementAddQuadCurveToPoint:
      return 2;
    case kCGPathElementAddCurveToPoint:
      return 3;
    case kCGPathElementCloseSubpath:
      return 0;
  }
  return 0;
}

CGPathRef MakePath(std::vector<Element> elements, const CGAffineTransform* transform) {
  if (transform != nullptr) {
    for (Element& element : elements) {
      for (int i = 0; i < PointCount(element.type); ++i) {
        element.points[i] = CGPointApplyAffineTransform(element.points[i], *transform);
      }
    }
  }
  return new CGPath(std::move(elements));
}

// A quarter-ellipse arc from `start` to `end` whose tangents meet at `box_corner`, the corner of
// the box that encloses the ellipse.
Element Corner(CGPoint start, CGPoint end, CGPoint box_corner) {
  const CGFloat k = kQuarterArcControl;
  return CurveTo({start.x + (box_corner.x - start.x) * k, start.y + (box_corner.y - start.y) * k},
                 {end.x + (box_corner.x - end.x) * k, end.y + (box_corner.y - end.y) * k}, end);
}

CGPoint Lerp(CGPoint a, CGPoint b, CGFloat t) {
  return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
}

// The path as closed polygons, curves flattened into short chords.
std::vector<std::vector<CGPoint>> Flatten(const CGPath& path, const CGAffineTransform* transform) {
  constexpr int kStepsPerCurve = 32;
  std::vector<std::vector<CGPoint>> polygons;
  CGPoint current{};
  auto map = [&](CGPoint p) {
    return transform == nullptr ? p : CGPointApplyAffineTransform(p, *transform);
  };
  for (const Element& element : path.elements) {
    switch (element.type) {
      case kCGPathElementMoveToPoint:
        polygons.push_back({map(element.points[0])});
        current = element.points[0];
        break;
      case kCGPathElementAddLineToPoint:
        if (polygons.empty()) polygons.push_back({map(current)});
        polygons.back().push_back(map(element.points[0]));
        current = element.points[0];
        break;
      case kCGPathElementAddQuadCurveToPoint:
      case kCGPathElementAddCurveToPoint: {
        if (polygons.empty()) polygons.push_back({map(current)});
        const bool cubic = element.type == kCGPathElementAddCurveToPoint;
        const CGPoint p0 = current;
        const CGPoint p1 = element.points[0];
        const CGPoint p2 = cubic ? element.points[1] : element.points[0];
        const CGPoint p3 = cubic ? element.points[2] : element.points[1];
        for (int step = 1; step <= kStepsPerCurve; ++step) {
          const CGFloat t = static_cast<CGFloat>(step) / kStepsPerCurve;
          CGPoint point;
          if (cubic) {
            const CGPoint a = Lerp(p0, p1, t), b = Lerp(p1, p2, t), c = Lerp(p2, p3, t);
            point = Lerp(Lerp(a, b, t), Lerp(b, c, t), t);
          } else {
            point = Lerp(Lerp(p0, p1, t), Lerp(p1, p3, t), t);
          }
          polygons.back().push_back(map(point));
        }
        current = p3;
        break;
      }
      case kCGPathElementCloseSubpath:
        if (!polygons.empty() && !polygons.back().empty()) current = polygons.back().front();
        break;
    }
  }
  return polygons;
}

}  // namespace

extern "C" CGPathRef CGPathCreateWithEllipseInRect(CGRect rect,
                                                   const CGAffineTransform* transform) {
  const CGFloat left = rect.origin.x, bottom = rect.origin.y;
  const CGFloat right = left + rect.size.width, top = bottom + rect.size.height;
  const CGFloat mid_x = left + rect.size.width / 2, mid_y = bottom + rect.size.height / 2;
  return MakePath({MoveTo({right, mid_y}), Corner({right, mid_y}, {mid_x, top}, {right, top}),
                   Corner({mid_x, top}, {left, mid_y}, {left, top}),
                   Corner({left, mid_y}, {mid_x, bottom}, {left, bottom}),
                   Corner({mid_x, bottom}, {right, mid_y}, {right, bottom}), Close()},
                  transform);
}

extern "C" CGPathRef CGPathCreateWithRoundedRect(CGRect rect, CGFloat corner_width,
                                                 CGFloat corner_height,
                                                 const CGAffineTransform* transform) {
  const CGFloat rx = std::clamp(corner_width, CGFloat{0}, rect.size.width / 2);
  const CGFloat ry = std::clamp(corner_height, CGFloat{0}, rect.size.height / 2);
  const CGFloat left = rect.origin.x, bottom = rect.origin.y;
  const CGFloat right = left + rect.size.width, top = bottom + rect.size.height;
  return MakePath(
      {MoveTo({right, bottom + ry}), LineTo({right, top - ry}),
       Corner({right, top - ry}, {right - rx, top}, {right, top}), LineTo({left + rx, top}),
       Corner({left + rx, top}, {left, top - ry}, {left, top}), LineTo({left, bottom + ry}),
       Corner({left, bottom + ry}, {left + rx, bottom}, {left, bottom}),
       LineTo({right - rx, bottom}),
       Corner({right - rx, bottom}, {right, bottom + ry}, {right, bottom}), Close()},
      transform);
}

extern "C" CGPathRef CGPathRetain(CGPathRef path) {
  if (path != nullptr) const_cast<CGPath*>(path)->retain();
  return path;
}

extern "C" void CGPathRelease(CGPathRef path) {
  if (path != nullptr) const_cast<CGPath*>(path)->release();
}

extern "C" CGRect CGPathGetBoundingBox(CGPathRef path) {
  if (path == nullptr) return CGRectZero;
  CGFloat min_x = std::numeric_limits<CGFloat>::infinity(), min_y = min_x;
  CGFloat max_x = -min_x, max_y = -min_x;
  for (const Element& element : path->elements) {
    for (int i = 0; i < PointCount(element.type); ++i) {
      min_x = std::min(min_x, element.points[i].x);
      min_y = std::min(min_y, element.points[i].y);
      max_x = std::max(max_x, element.points[i].x);
      max_y = std::max(max_y, element.points[i].y);
    }
  }
  if (min_x > max_x) return CGRectZero;
  return CGRectMake(min_x, min_y, max_x - min_x, max_y - min_y);
}

extern "C" bool CGPathContainsPoint(CGPathRef path, const CGAffineTransform* transform,
                                    CGPoint point, bool eo_fill) {
  if (path == nullptr) return false;
  int winding = 0;
  for (const std::vector<CGPoint>& polygon : Flatten(*path, transform)) {
    for (size_t i = 0; i < polygon.size(); ++i) {
      const CGPoint a = polygon[i];
      const CGPoint b = polygon[(i + 1) % polygon.size()];
      if ((a.y <= point.y) == (b.y <= point.y)) continue;
      const CGFloat cross_x = a.x + (point.y - a.y) * (b.x - a.x) / (b.y - a.y);
      if (cross_x > point.x) winding += (b.y > a.y) ? 1 : -1;
    }
  }
  return eo_fill ? (winding % 2 != 0) : (winding != 0);
}

extern "C" void CGPathApply(CGPathRef path, void* info, CGPathApplierFunction function) {
  if (path == nullptr || function == nullptr) return;
  for (const Element& element : path->elements) {
    CGPoint points[3] = {element.points[0], element.points[1], element.points[2]};
    const CGPathElement handed_out{element.type, points};
    function(info, &handed_out);
  }
}
