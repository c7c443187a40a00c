// Gaussian blur of an alpha mask, for soft shadows.
#ifndef PLATFORM_RENDER_GAUSSIAN_BLUR_H_
#define PLATFORM_RENDER_GAUSSIAN_BLUR_H_

#include <cairo.h>

namespace render {

// Blurs the A8 image `mask` in place with a Gaussian of standard deviation `sigma` pixels; nothing
// happens for a sigma of 0 or less. Alpha beyond the image's edges counts as 0.
void BlurAlphaMask(cairo_surface_t* mask, double sigma);

}  // namespace render

#endif  // PLATFORM_RENDER_GAUSSIAN_BLUR_H_
