#include "gaussian_blur.h"

#include <cmath>
#include <vector>

namespace render {
namespace {

std::vector<double> Kernel(double sigma) {
  const int radius = static_cast<int>(std::ceil(3 * sigma));
  std::vector<double> kernel(2 * radius + 1);
  double sum = 0;
  for (int i = -radius; i <= radius; ++i) {
    kernel[i + radius] = std::exp(-(i * i) / (2 * sigma * sigma));
    sum += kernel[i + radius];
  }
  for (double& weight : kernel) weight /= sum;
  return kernel;
}

// One pass along lines of `count` samples `step` apart, starting at each of `lines` starts
// `line_step` apart.
void Pass(std::vector<double>& values, int lines, int line_step, int count, int step,
          const std::vector<double>& kernel) {
  const int radius = static_cast<int>(kernel.size() / 2);
  std::vector<double> line(count);
  for (int l = 0; l < lines; ++l) {
    for (int i = 0; i < count; ++i) line[i] = values[l * line_step + i * step];
    for (int i = 0; i < count; ++i) {
      double sum = 0;
      for (int k = -radius; k <= radius; ++k) {
        const int j = i + k;
        if (j >= 0 && j < count) sum += line[j] * kernel[k + radius];
      }
      values[l * line_step + i * step] = sum;
    }
  }
}

}  // namespace

void BlurAlphaMask(cairo_surface_t* mask, double sigma) {
  if (sigma <= 0) return;
  cairo_surface_flush(mask);
  const int width = cairo_image_surface_get_width(mask);
  const int height = cairo_image_surface_get_height(mask);
  const int stride = cairo_image_surface_get_stride(mask);
  unsigned char* data = cairo_image_surface_get_data(mask);
  std::vector<double> values(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) values[y * width + x] = data[y * stride + x];
  }
  const std::vector<double> kernel = Kernel(sigma);
  Pass(values, height, width, width, 1, kernel);
  Pass(values, width, 1, height, width, kernel);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      data[y * stride + x] = static_cast<unsigned char>(
          std::lround(std::fmin(255.0, std::fmax(0.0, values[y * width + x]))));
    }
  }
  cairo_surface_mark_dirty(mask);
}

}  // namespace render
