// What a window shows, as PaintWindowTree draws it, and helpers to compare it with frames.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/gdi/image.h"
#include "platform/user/window.h"

namespace orvex::test {

// The window's pixels (0xAARRGGBB, rows top-down) at its outer size.
inline Pixels WindowPixels(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  Pixels out{r.right - r.left, r.bottom - r.top, {}};
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, out.width, out.height);
  cairo_t* cr = cairo_create(surface);
  PaintWindowTree(window, cr);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  out.bgra.resize(static_cast<size_t>(out.width) * static_cast<size_t>(out.height));
  for (int y = 0; y < out.height; ++y)
    std::memcpy(out.bgra.data() + static_cast<size_t>(y) * static_cast<size_t>(out.width),
                data + static_cast<ptrdiff_t>(y) * stride, static_cast<size_t>(out.width) * 4);
  cairo_surface_destroy(surface);
  return out;
}

// The block of `image` at (x, y) of `width` × `height`.
inline std::vector<uint32_t> Block(const Pixels& image, int x, int y, int width, int height) {
  std::vector<uint32_t> out;
  for (int row = y; row < y + height; ++row)
    for (int col = x; col < x + width; ++col)
      out.push_back(image.bgra[static_cast<size_t>(row) * static_cast<size_t>(image.width) +
                               static_cast<size_t>(col)]);
  return out;
}

// Frame `index` of a .bgra fixture of `width` × `height` frames.
inline std::vector<uint32_t> FixtureFrame(const std::vector<uint32_t>& words, int width, int height,
                                          int index) {
  const auto size = static_cast<ptrdiff_t>(width * height);
  return {words.begin() + size * index, words.begin() + size * (index + 1)};
}

}  // namespace orvex::test
