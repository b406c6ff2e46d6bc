// What a host reads from a picture object: its Type, Width and Height as the object gives
// them, and the image behind its Handle read back through the platform (GetObjectA,
// GetIconInfo, GetDIBits) as 8-bit RGBA, for hosts that save pictures as PNG (the
// command-line client, the Python module).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/gdi/image.h"
#include "platform/ole/unknown.h"

namespace orvex {

struct RgbaImage {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> rgba;  // rows top-down, 4 bytes per pixel
};

struct PictureImage {
  int32_t type = 0;
  int32_t width = 0;  // HiMetric
  int32_t height = 0;
  int32_t pixelsWide = 0;
  int32_t pixelsHigh = 0;
  std::optional<std::pair<uint32_t, uint32_t>> hotspot;  // icons and cursors
  RgbaImage image;                                       // filled when asked for
};

// Throws std::runtime_error when the handle names no image the platform can read back.
PictureImage ReadPicture(IDispatch* picture, bool withPixels);

// The image of a bitmap handle (opaque unless it carries alpha) and of an icon or cursor
// handle (alpha from its colours or its mask), read back through the platform as
// ReadPicture reads a picture's Handle. Throw std::runtime_error when unreadable.
RgbaImage ImageOfBitmap(HBITMAP bitmap);
RgbaImage ImageOfIcon(HICON icon);

// Pixels of the platform (BGRA words, rows top-down) as 8-bit RGBA.
RgbaImage RgbaFromPixels(const Pixels& pixels);

// An 8-bit RGBA PNG; throws std::runtime_error when the file cannot be written.
void WritePng(const std::string& path, const RgbaImage& image);

// A frame of a clip as an 8-bit RGB PNG (frames are opaque: their alpha is left out),
// written for speed: straight from the BGRA words, rows unfiltered. Throws
// std::runtime_error when the file cannot be written.
void WriteFramePng(const std::string& path, const Pixels& frame);

}  // namespace orvex
