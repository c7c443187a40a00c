#include "overlay_test_support.h"

#include <Foundation/NSObject.h>
#include <cairo.h>

#include <cmath>
#include <cstdint>
#include <cstring>

#include "standin/screens.h"

namespace overlay_testing {

void PoolTest::SetUp() { pool_ = objc_autoreleasePoolPush(); }

void PoolTest::TearDown() { objc_autoreleasePoolPop(pool_); }

void ArrangeLaptopScreen() {
  standin::ArrangeScreens({standin::ScreenWithBars(CGRectMake(0, 0, 1440, 900), 24, 70)});
}

std::string PicturePath(const std::string& name) {
  return std::string(ONDREL_OVERLAY_PICTURES) + "/" + name;
}

std::ostream& operator<<(std::ostream& out, const Pixel& pixel) {
  return out << "rgba(" << pixel.red << ", " << pixel.green << ", " << pixel.blue << ", "
             << pixel.alpha << ")";
}

Picture::Picture(const std::string& path, CGRect area, double scale) : area_(area), scale_(scale) {
  cairo_surface_t* surface = cairo_image_surface_create_from_png(path.c_str());
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    ADD_FAILURE() << "cannot read " << path;
    cairo_surface_destroy(surface);
    return;
  }
  surface_ = surface;
  EXPECT_EQ(width(), static_cast<int>(std::ceil(area.size.width * scale)));
  EXPECT_EQ(height(), static_cast<int>(std::ceil(area.size.height * scale)));
}

Picture::~Picture() {
  if (surface_ != nullptr) cairo_surface_destroy(surface_);
}

int Picture::width() const { return surface_ ? cairo_image_surface_get_width(surface_) : 0; }

int Picture::height() const { return surface_ ? cairo_image_surface_get_height(surface_) : 0; }

Pixel Picture::At(CGPoint point) const {
  if (surface_ == nullptr) return {};
  const int x = static_cast<int>(std::floor((point.x - area_.origin.x) * scale_));
  const int y =
      static_cast<int>(std::floor((area_.origin.y + area_.size.height - point.y) * scale_));
  if (x < 0 || y < 0 || x >= width() || y >= height()) {
    ADD_FAILURE() << "point (" << point.x << ", " << point.y << ") lies outside the picture";
    return {};
  }
  cairo_surface_flush(surface_);
  const unsigned char* row =
      cairo_image_surface_get_data(surface_) + y * cairo_image_surface_get_stride(surface_);
  uint32_t argb = 0;
  std::memcpy(&argb, row + 4 * x, 4);
  Pixel pixel;
  pixel.alpha = static_cast<int>(argb >> 24);
  auto unpremultiply = [&](uint32_t value) {
    return pixel.alpha == 0 ? 0 : static_cast<int>(std::lround(value * 255.0 / pixel.alpha));
  };
  pixel.red = unpremultiply((argb >> 16) & 0xFF);
  pixel.green = unpremultiply((argb >> 8) & 0xFF);
  pixel.blue = unpremultiply(argb & 0xFF);
  return pixel;
}

}  // namespace overlay_testing
