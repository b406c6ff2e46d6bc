#include "platform/gdi/surface_capture.h"

#include <cairo-svg.h>

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/xml_text.h"

namespace orvex {
namespace {

// Draws on `surface`, hands it to `finish`, then releases it.
template <class Finish>
bool DrawOn(cairo_surface_t* surface, const Drawing& draw, Finish finish) {
  cairo_t* cr = cairo_create(surface);
  draw(cr);
  cairo_destroy(cr);
  const bool done = finish(surface);
  cairo_surface_destroy(surface);
  return done;
}

}  // namespace

bool AppendSvgTexts(const char* path, const std::vector<RecordedText>& texts) {
  std::string svg;
  {
    FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) svg.append(buffer, n);
    std::fclose(file);
  }
  const size_t end = svg.rfind("</svg>");
  if (end == std::string::npos) return false;
  std::string elements;
  char number[64];
  for (const RecordedText& t : texts) {
    if (t.utf8.empty()) continue;
    std::snprintf(number, sizeof number, "<text x=\"%.2f\" y=\"%.2f\" font-size=\"%.2fpx\"", t.x,
                  t.y, t.pixelHeight);
    elements += number;
    elements += " font-family=\"" + XmlEscaped(t.face) + ", Tahoma, sans-serif\"";
    if (t.weight >= 600) elements += " font-weight=\"bold\"";
    if (t.italic) elements += " font-style=\"italic\"";
    std::snprintf(number, sizeof number, " fill=\"#%02x%02x%02x\"",
                  static_cast<int>(std::lround(t.red * 255)),
                  static_cast<int>(std::lround(t.green * 255)),
                  static_cast<int>(std::lround(t.blue * 255)));
    elements += number;
    elements += " xml:space=\"preserve\">" + XmlEscaped(t.utf8) + "</text>\n";
  }
  svg.insert(end, elements);
  FILE* file = std::fopen(path, "wb");
  if (!file) return false;
  const bool written = std::fwrite(svg.data(), 1, svg.size(), file) == svg.size();
  return std::fclose(file) == 0 && written;
}

bool DrawToPng(int width, int height, const Drawing& draw, const char* path) {
  return DrawOn(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height), draw,
                [path](cairo_surface_t* surface) {
                  return cairo_surface_write_to_png(surface, path) == CAIRO_STATUS_SUCCESS;
                });
}

std::optional<Pixels> DrawToPixels(int width, int height, const Drawing& draw) {
  Pixels out;
  const bool drawn = DrawOn(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height), draw,
                            [&out](cairo_surface_t* surface) {
                              cairo_surface_flush(surface);
                              out.width = cairo_image_surface_get_width(surface);
                              out.height = cairo_image_surface_get_height(surface);
                              const int stride = cairo_image_surface_get_stride(surface);
                              const unsigned char* data = cairo_image_surface_get_data(surface);
                              if (!data) return false;
                              const auto columns = static_cast<size_t>(out.width);
                              out.bgra.resize(columns * static_cast<size_t>(out.height));
                              for (int32_t y = 0; y < out.height; ++y)
                                std::memcpy(out.bgra.data() + static_cast<size_t>(y) * columns,
                                            data + static_cast<ptrdiff_t>(y) * stride, columns * 4);
                              return true;
                            });
  if (!drawn) return std::nullopt;
  return out;
}

bool DrawToSvg(int width, int height, const Drawing& draw, const char* path) {
  return DrawOn(cairo_svg_surface_create(path, width, height), draw, [](cairo_surface_t* surface) {
    cairo_surface_finish(surface);
    return cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
  });
}

}  // namespace orvex
