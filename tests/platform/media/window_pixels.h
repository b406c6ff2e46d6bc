// What a window shows, as the platform captures it, and helpers to compare it with frames.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gdi/image.h"
#include "platform/user/window.h"
#include "platform/user/window_capture.h"

namespace orvex::test {

// The window's pixels (0xAARRGGBB, rows top-down) at its outer size.
inline Pixels WindowPixels(HWND window) {
  return CaptureWindowPixels(window).value_or(Pixels{});
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
