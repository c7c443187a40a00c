// Points, sizes and rectangles in screen coordinates (origin bottom left, y growing upwards).
#ifndef PLATFORM_INCLUDE_COREGRAPHICS_CGGEOMETRY_H_
#define PLATFORM_INCLUDE_COREGRAPHICS_CGGEOMETRY_H_

using CGFloat = double;

struct CGPoint {
  CGFloat x = 0;
  CGFloat y = 0;
  bool operator==(const CGPoint&) const = default;
};

struct CGSize {
  CGFloat width = 0;
  CGFloat height = 0;
  bool operator==(const CGSize&) const = default;
};

struct CGRect {
  CGPoint origin;
  CGSize size;
  bool operator==(const CGRect&) const = default;
};

inline constexpr CGPoint CGPointZero{0, 0};
inline constexpr CGSize CGSizeZero{0, 0};
inline constexpr CGRect CGRectZero{{0, 0}, {0, 0}};

inline CGRect CGRectMake(CGFloat x, CGFloat y, CGFloat width, CGFloat height) {
  return CGRect{{x, y}, {width, height}};
}

#endif  // PLATFORM_INCLUDE_COREGRAPHICS_CGGEOMETRY_H_
