// The stand-in's own access to images behind handles, for the other parts of the stand-in
// (picture objects, the picture-file loader, window painting). Pixels are 32-bit BGRA
// words (0xAARRGGBB), rows top-down, alpha straight (not premultiplied).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/win32_types.h"

namespace orvex {

struct Pixels {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> bgra;  // width * height words
};

// A bitmap handle over `pixels`; `bitsPerPixel` is what GetObjectA reports (1 for a
// monochrome bitmap, else the screen's 32). 0 when the table is full or the size is bad.
HBITMAP CreateBitmapFromPixels(Pixels pixels, WORD bitsPerPixel);
// A bitmap from a packed DIB (header, colour table, bits) as LoadImageA makes it with
// `flags` (LR_LOADMAP3DCOLORS); 0 when the bytes are no DIB it can decode.
HBITMAP CreateBitmapFromPackedDib(std::span<const uint8_t> dib, UINT flags);
// The pixels of a bitmap; nullopt for a handle that names none.
std::optional<Pixels> BitmapPixels(HBITMAP bitmap);
// Whether any pixel of the bitmap carries a non-zero alpha byte.
bool BitmapHasAlpha(HBITMAP bitmap);

// An icon's or cursor's images: colour with alpha applied from the mask where the colour
// image carries no alpha (mask bit set = transparent), ready to draw; nullopt for a handle
// that names none.
std::optional<Pixels> IconPixels(HICON icon);
struct IconSize {
  int32_t width = 0;
  int32_t height = 0;
};
std::optional<IconSize> IconDimensions(HICON icon);

// Draws a bitmap with its top-left corner at (x, y), scaled to cx × cy (0 = its own size).
BOOL PaintBitmap(HDC dc, int x, int y, int cx, int cy, HBITMAP bitmap);

}  // namespace orvex
