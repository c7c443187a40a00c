// Helpers for the overlay suite: an autorelease pool for the test body, screen arrangements, and
// PNG pictures read back with their pixels addressed in desktop points.
#ifndef TESTS_OVERLAY_OVERLAY_TEST_SUPPORT_H_
#define TESTS_OVERLAY_OVERLAY_TEST_SUPPORT_H_

#include <cairo.h>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

#include "CoreGraphics/CGGeometry.h"

namespace overlay_testing {

// Each test body runs inside an autorelease pool, as main-thread code does on the platform.
class PoolTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

 private:
  void* pool_ = nullptr;
};

// A 1440 × 900 screen at the origin with a 24-point menu bar and a 70-point Dock.
void ArrangeLaptopScreen();

// Where a test's picture goes: <build>/tests/overlay/pictures/<name>.
std::string PicturePath(const std::string& name);

// One pixel, not premultiplied, components 0 to 255.
struct Pixel {
  int red = 0, green = 0, blue = 0, alpha = 0;
};
std::ostream& operator<<(std::ostream& out, const Pixel& pixel);

// A PNG picture of the desktop rectangle `area` drawn at `scale` pixels per point.
class Picture {
 public:
  // Fails the test (and leaves the picture empty) when the file cannot be read.
  Picture(const std::string& path, CGRect area, double scale);
  ~Picture();

  bool loaded() const { return surface_ != nullptr; }
  int width() const;
  int height() const;
  // The pixel covering the desktop point `point`.
  Pixel At(CGPoint point) const;
  // How many pixels inside the desktop rectangle `rect` pass `test`.
  template <typename Test>
  int Count(CGRect rect, Test test) const {
    int count = 0;
    for (double y = rect.origin.y + 0.5 / scale_; y < rect.origin.y + rect.size.height;
         y += 1 / scale_) {
      for (double x = rect.origin.x + 0.5 / scale_; x < rect.origin.x + rect.size.width;
           x += 1 / scale_) {
        if (test(At(CGPoint{x, y}))) ++count;
      }
    }
    return count;
  }

 private:
  cairo_surface_t* surface_ = nullptr;
  CGRect area_;
  double scale_;
};

}  // namespace overlay_testing

#endif  // TESTS_OVERLAY_OVERLAY_TEST_SUPPORT_H_
