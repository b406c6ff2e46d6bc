// Golden-image comparison for the commands that write pictures: a PNG read as cairo reads
// it, and the share of pixels that differ visibly from another.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

namespace orvex::test {

// Pixels of a PNG as cairo reads them (premultiplied ARGB words), with its size.
struct Image {
  int width = 0, height = 0;
  std::vector<uint32_t> words;
};
inline Image ReadPng(const std::string& path) {
  cairo_surface_t* surface = cairo_image_surface_create_from_png(path.c_str());
  Image image;
  if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS) {
    cairo_surface_t* argb =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, cairo_image_surface_get_width(surface),
                                   cairo_image_surface_get_height(surface));
    cairo_t* cr = cairo_create(argb);
    cairo_set_source_surface(cr, surface, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(argb);
    image.width = cairo_image_surface_get_width(argb);
    image.height = cairo_image_surface_get_height(argb);
    const int stride = cairo_image_surface_get_stride(argb);
    for (int y = 0; y < image.height; ++y) {
      const auto* row = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(argb) +
                                                          static_cast<size_t>(y) * stride);
      image.words.insert(image.words.end(), row, row + image.width);
    }
    cairo_surface_destroy(argb);
  }
  cairo_surface_destroy(surface);
  return image;
}

// The share of pixels whose channels differ by more than 16 in any channel.
inline double DifferingShare(const Image& a, const Image& b) {
  size_t differing = 0;
  for (size_t i = 0; i < a.words.size(); ++i) {
    for (int shift = 0; shift < 32; shift += 8) {
      const int d = static_cast<int>((a.words[i] >> shift) & 0xFF) -
                    static_cast<int>((b.words[i] >> shift) & 0xFF);
      if (d > 16 || d < -16) {
        ++differing;
        break;
      }
    }
  }
  return a.words.empty() ? 1.0 : static_cast<double>(differing) / a.words.size();
}

}  // namespace orvex::test
