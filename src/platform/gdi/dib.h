// Device-independent bitmaps as resources and files store them: a header (BITMAPCOREHEADER,
// BITMAPINFOHEADER, V4 or V5), an optional colour table and masks, then the bits. Decoded
// through the bounds-checked reader into 32-bit BGRA words, rows top-down.
#pragma once

#include <cstdint>
#include <vector>

#include "base/byte_reader.h"
#include "base/expected.h"
#include "platform/gdi/image.h"

namespace orvex {

// The largest image the stand-in decodes (width × height), so a header cannot make it
// allocate without bound.
inline constexpr uint64_t kMaxDibPixels = uint64_t{64} * 1024 * 1024;

struct DibHeader {
  uint32_t headerSize = 0;
  int32_t width = 0;
  int32_t height = 0;  // as stored: negative for top-down rows
  uint16_t bitCount = 0;
  uint32_t compression = 0;
  uint32_t masks[4] = {};         // red, green, blue, alpha (BI_BITFIELDS and 16/32 bits defaults)
  std::vector<uint32_t> palette;  // 0x00RRGGBB
  size_t bitsOffset = 0;          // where the bits start, from the header's first byte
};

// Reads the header, masks and colour table of the DIB at the start of `dib`.
Expected<DibHeader> ReadDibHeader(Bytes dib);

// A 1-bit image whose colour table is exactly black and white: the platform keeps such
// bitmaps and icons monochrome.
bool IsMonochrome(const DibHeader& header);

// Replaces the greys of a colour table with the system's 3D colours (0x808080 shadow,
// 0xC0C0C0 face, 0xDFDFDF light), as LR_LOADMAP3DCOLORS asks.
void MapPaletteTo3DColors(std::vector<uint32_t>& palette);

// The stride in bytes of one row of `width` pixels at `bitCount` (rows end on 4 bytes).
uint64_t DibStride(int32_t width, uint16_t bitCount);

// Decodes `rows` rows of `width` pixels from `bits` in the header's format (RLE formats
// included; `bottomUp` as the header stores them). Pixels outside what RLE data paints
// are 0; colour-table indexes past the table are black. Alpha is the stored byte for 32-bit
// BI_RGB and the alpha mask's for BI_BITFIELDS, 0 otherwise.
Expected<Pixels> DecodeDibBits(const DibHeader& header, Bytes bits, int32_t width, int32_t rows,
                               bool bottomUp);

// A whole packed DIB: header, table and bits; height as the absolute stored height.
Expected<Pixels> DecodePackedDib(Bytes dib, UINT flags);

}  // namespace orvex
