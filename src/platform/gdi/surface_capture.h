// Drawings kept instead of shown: a cairo drawing made on a fresh surface and written as a
// PNG file, an SVG file (with its texts as text elements), or read back as pixels.
#pragma once

#include <cairo.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/image.h"

namespace orvex {

// Draws onto a context whose origin is the surface's top-left corner.
using Drawing = std::function<void(cairo_t*)>;

// The drawing on a width × height surface; false when the file cannot be written.
bool DrawToPng(int width, int height, const Drawing& draw, const char* path);
std::optional<Pixels> DrawToPixels(int width, int height, const Drawing& draw);
bool DrawToSvg(int width, int height, const Drawing& draw, const char* path);

// A text recorded while drawing instead of drawn (see TextRecorder in user/font.h), so that
// an SVG file can keep it as text.
struct RecordedText {
  double x = 0, y = 0;  // the baseline's start in device coordinates
  double pixelHeight = 0;
  int weight = FW_NORMAL;
  bool italic = false;
  std::string face;
  std::string utf8;
  double red = 0, green = 0, blue = 0;
};
// The texts as SVG text elements, inserted before the end of the SVG file at `path`.
bool AppendSvgTexts(const char* path, const std::vector<RecordedText>& texts);

}  // namespace orvex
