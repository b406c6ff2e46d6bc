// The objects behind bitmap and icon handles, shared by the files of this folder.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/core/handle_table.h"
#include "platform/gdi/image.h"

namespace orvex {

struct BitmapObject {
  Pixels pixels;
  WORD bitsPerPixel = 32;  // what GetObjectA reports
};

// An icon or cursor: the colour image (absent for monochrome icons, whose colour is the
// lower half of a double-height mask) and the AND mask, one word per pixel as GetDIBits
// reads a mask bitmap: 0x00FFFFFF where the bit is set (the screen shows through), else 0.
struct IconObject {
  bool isIcon = true;
  int32_t width = 0;
  int32_t height = 0;
  bool hasColor = true;
  Pixels color;
  std::vector<uint32_t> mask;  // width * height, or 2 * width * height when monochrome
  uint32_t hotspotX = 0;
  uint32_t hotspotY = 0;
};

HandleTable<BitmapObject>& Bitmaps();
HandleTable<IconObject>& Icons();

// Whether any pixel carries a non-zero alpha byte.
bool AnyAlpha(const Pixels& pixels);

// A cairo image of `pixels` (premultiplied; alpha forced opaque when `opaque`); the caller
// destroys it.
cairo_surface_t* SurfaceOf(const Pixels& pixels, bool opaque);
// Paints `surface` (width × height) at (x, y), scaled to cx × cy when both are non-zero.
void PaintSurface(cairo_t* cr, cairo_surface_t* surface, int x, int y, int cx, int cy, int width,
                  int height);

}  // namespace orvex
