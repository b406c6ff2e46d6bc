#include "platform/gdi/dib.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/gdi/gdi.h"

namespace orvex {
namespace {

constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;

// A channel of `value` under `mask`, scaled to 8 bits.
uint8_t Channel(uint32_t value, uint32_t mask) {
  if (mask == 0) return 0;
  const int shift = __builtin_ctz(mask);
  const uint32_t top = mask >> shift;
  const uint32_t v = (value & mask) >> shift;
  if (top >= 255) return static_cast<uint8_t>(v >> (32 - __builtin_clz(top) - 8));
  return static_cast<uint8_t>(v * 255 / top);
}

uint32_t Rgb(uint32_t colorRef) {  // 0x00BBGGRR -> 0x00RRGGBB
  return ((colorRef & 0xFF) << 16) | (colorRef & 0xFF00) | ((colorRef >> 16) & 0xFF);
}

// Expands RLE8/RLE4 data into one index per pixel, rows bottom-up as stored.
std::vector<uint8_t> ExpandRle(Bytes bits, int32_t width, int32_t rows, bool four) {
  std::vector<uint8_t> out(static_cast<size_t>(width) * rows, 0);
  ByteReader reader(bits);
  int64_t x = 0, y = 0;
  const auto put = [&](uint8_t index) {
    if (x >= 0 && x < width && y >= 0 && y < rows) out[static_cast<size_t>(y) * width + x] = index;
    ++x;
  };
  uint8_t count = 0, value = 0;
  while (y < rows && reader.TryRead(count) && reader.TryRead(value)) {
    if (count > 0) {  // a run of `count` pixels
      for (int i = 0; i < count; ++i) put(four ? ((i & 1) ? value & 0x0F : value >> 4) : value);
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++y;
    } else if (value == 1) {  // end of bitmap
      break;
    } else if (value == 2) {  // delta
      uint8_t dx = 0, dy = 0;
      if (!reader.TryRead(dx) || !reader.TryRead(dy)) break;
      x += dx;
      y += dy;
    } else {  // `value` literal pixels, padded to a word
      const size_t bytes = four ? (value + 1u) / 2 : value;
      auto literal = reader.ReadBytes(bytes);
      if (!literal) break;
      for (int i = 0; i < value; ++i) {
        const uint8_t b = static_cast<uint8_t>((*literal)[four ? i / 2 : i]);
        put(four ? ((i & 1) ? b & 0x0F : b >> 4) : b);
      }
      if (bytes & 1) (void)reader.Skip(1);
    }
  }
  return out;
}

}  // namespace

uint64_t DibStride(int32_t width, uint16_t bitCount) {
  return ((static_cast<uint64_t>(width) * bitCount + 31) / 32) * 4;
}

Expected<DibHeader> ReadDibHeader(Bytes dib) {
  ByteReader reader(dib);
  DibHeader h;
  auto size = reader.Read<uint32_t>();
  if (!size) return Error{"no bitmap header"};
  h.headerSize = *size;
  if (h.headerSize == kCoreHeaderSize) {
    auto w = reader.Read<uint16_t>(), hh = reader.Read<uint16_t>(),
         planes = reader.Read<uint16_t>(), bits = reader.Read<uint16_t>();
    if (!bits) return Error{"bitmap core header runs past the end"};
    h.width = *w;
    h.height = *hh;
    h.bitCount = *bits;
  } else if (h.headerSize >= kInfoHeaderSize && h.headerSize <= 124) {
    auto w = reader.Read<int32_t>(), hh = reader.Read<int32_t>();
    auto planes = reader.Read<uint16_t>(), bits = reader.Read<uint16_t>();
    auto compression = reader.Read<uint32_t>();
    if (!compression || h.headerSize > dib.size()) return Error{"bitmap header runs past the end"};
    h.width = *w;
    h.height = *hh;
    h.bitCount = *bits;
    h.compression = *compression;
  } else {
    return Error{"unknown bitmap header size"};
  }
  if (h.width <= 0 || h.height == 0 || h.height == INT32_MIN) return Error{"bad bitmap size"};
  if (static_cast<uint64_t>(h.width) * static_cast<uint64_t>(std::abs(h.height)) > kMaxDibPixels) {
    return Error{"bitmap too large"};
  }
  switch (h.bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      break;
    default:
      return Error{"unsupported bit count"};
  }
  const bool rle = h.compression == BI_RLE8 || h.compression == BI_RLE4;
  if ((h.compression == BI_RLE8 && h.bitCount != 8) ||
      (h.compression == BI_RLE4 && h.bitCount != 4) ||
      (h.compression == BI_BITFIELDS && h.bitCount != 16 && h.bitCount != 32) ||
      (h.compression > BI_BITFIELDS)) {
    return Error{"unsupported compression"};
  }
  if (rle && h.height < 0) return Error{"compressed bitmaps are stored bottom-up"};
  // Default masks: 5-5-5 for 16 bits, 8-8-8 for 32 bits.
  if (h.bitCount == 16) {
    h.masks[0] = 0x7C00, h.masks[1] = 0x03E0, h.masks[2] = 0x001F;
  } else if (h.bitCount == 32) {
    h.masks[0] = 0xFF0000, h.masks[1] = 0xFF00, h.masks[2] = 0xFF;
  }
  size_t offset = h.headerSize;
  if (h.compression == BI_BITFIELDS) {
    if (h.headerSize == kInfoHeaderSize) {
      // Three masks follow the header.
      for (int i = 0; i < 3; ++i) {
        auto m = reader.ReadAt<uint32_t>(offset + size_t{4} * i);
        if (!m) return Error{"bitmap masks run past the end"};
        h.masks[i] = *m;
      }
      h.masks[3] = 0;
      offset += 12;
    } else {
      for (int i = 0; i < 4; ++i) {
        auto m = reader.ReadAt<uint32_t>(kInfoHeaderSize + 4u * i);
        if (!m) return Error{"bitmap masks run past the end"};
        h.masks[i] = i < 3 || h.headerSize >= 56 ? *m : 0;
      }
    }
  }
  if (h.bitCount <= 8) {
    uint32_t count = 1u << h.bitCount;
    if (h.headerSize >= kInfoHeaderSize) {
      auto used = reader.ReadAt<uint32_t>(32);
      if (used && *used != 0 && *used < count) count = *used;
    }
    const size_t entry = h.headerSize == kCoreHeaderSize ? 3 : 4;
    for (uint32_t i = 0; i < count; ++i) {
      auto b = reader.SliceAt(offset + i * entry, 3);
      if (!b) return Error{"colour table runs past the end"};
      const auto* p = reinterpret_cast<const uint8_t*>(b->data());
      h.palette.push_back(uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0]);
    }
    offset += count * entry;
  }
  h.bitsOffset = offset;
  return h;
}

bool IsMonochrome(const DibHeader& header) {
  if (header.bitCount != 1 || header.palette.size() != 2) return false;
  const uint32_t a = header.palette[0], b = header.palette[1];
  return (a == 0 && b == 0xFFFFFF) || (a == 0xFFFFFF && b == 0);
}

void MapPaletteTo3DColors(std::vector<uint32_t>& palette) {
  for (uint32_t& c : palette) {
    if (c == 0x808080)
      c = Rgb(GetSysColor(COLOR_3DSHADOW));
    else if (c == 0xC0C0C0)
      c = Rgb(GetSysColor(COLOR_3DFACE));
    else if (c == 0xDFDFDF)
      c = Rgb(GetSysColor(COLOR_3DLIGHT));
  }
}

Expected<Pixels> DecodeDibBits(const DibHeader& header, Bytes bits, int32_t width, int32_t rows,
                               bool bottomUp) {
  Pixels out;
  out.width = width;
  out.height = rows;
  out.bgra.assign(static_cast<size_t>(width) * rows, 0);
  const auto* data = reinterpret_cast<const uint8_t*>(bits.data());
  const auto paletteColour = [&](uint32_t index) {
    return index < header.palette.size() ? header.palette[index] : 0u;
  };
  const auto target = [&](int32_t storedRow) {
    return static_cast<size_t>(bottomUp ? rows - 1 - storedRow : storedRow) * width;
  };
  if (header.compression == BI_RLE8 || header.compression == BI_RLE4) {
    const std::vector<uint8_t> indexes =
        ExpandRle(bits, width, rows, header.compression == BI_RLE4);
    for (int32_t y = 0; y < rows; ++y) {
      for (int32_t x = 0; x < width; ++x) {
        out.bgra[target(y) + x] = paletteColour(indexes[static_cast<size_t>(y) * width + x]);
      }
    }
    return out;
  }
  const uint64_t stride = DibStride(width, header.bitCount);
  // The last row needs only its pixels, not its padding.
  const uint64_t lastRow = (static_cast<uint64_t>(width) * header.bitCount + 7) / 8;
  if (rows > 0 && stride * (rows - 1) + lastRow > bits.size()) {
    return Error{"bitmap bits run past the end"};
  }
  const bool plain32 = header.bitCount == 32 && header.compression == BI_RGB;
  for (int32_t y = 0; y < rows; ++y) {
    const uint8_t* row = data + stride * y;
    uint32_t* dest = out.bgra.data() + target(y);
    // One loop per depth, so the common rows run without a branch per pixel.
    switch (header.bitCount) {
      case 1:
        for (int32_t x = 0; x < width; ++x)
          dest[x] = paletteColour((row[x >> 3] >> (7 - (x & 7))) & 1);
        break;
      case 4:
        for (int32_t x = 0; x < width; ++x) {
          dest[x] = paletteColour((x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4);
        }
        break;
      case 8:
        for (int32_t x = 0; x < width; ++x) dest[x] = paletteColour(row[x]);
        break;
      case 24:
        for (int32_t x = 0; x < width; ++x) {
          const uint8_t* pixel = row + ptrdiff_t{3} * x;
          dest[x] = uint32_t{pixel[2]} << 16 | uint32_t{pixel[1]} << 8 | pixel[0];
        }
        break;
      default:
        if (plain32) {
          std::memcpy(dest, row, static_cast<size_t>(width) * 4);
          break;
        }
        for (int32_t x = 0; x < width; ++x) {
          const uint8_t* pixel = row + ptrdiff_t{header.bitCount / 8} * x;
          const uint32_t v = header.bitCount == 16
                                 ? uint32_t{pixel[0]} | uint32_t{pixel[1]} << 8
                                 : uint32_t{pixel[0]} | uint32_t{pixel[1]} << 8 |
                                       uint32_t{pixel[2]} << 16 | uint32_t{pixel[3]} << 24;
          dest[x] = uint32_t{Channel(v, header.masks[3])} << 24 |
                    uint32_t{Channel(v, header.masks[0])} << 16 |
                    uint32_t{Channel(v, header.masks[1])} << 8 | Channel(v, header.masks[2]);
        }
        break;
    }
  }
  return out;
}

Expected<Pixels> DecodePackedDib(Bytes dib, UINT flags) {
  auto header = ReadDibHeader(dib);
  if (!header) return header.GetError();
  if (flags & LR_LOADMAP3DCOLORS) MapPaletteTo3DColors(header->palette);
  if (header->bitsOffset > dib.size()) return Error{"bitmap bits run past the end"};
  const int32_t rows = std::abs(header->height);
  return DecodeDibBits(*header, dib.subspan(header->bitsOffset), header->width, rows,
                       header->height > 0);
}

}  // namespace orvex
