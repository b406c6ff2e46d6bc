// Packed DIBs decoded through the bitmap functions: every header form, depth and
// compression the platform reads, colour tables short of their depth, the 3D colour
// mapping, and damaged or oversized headers; handle life of bitmaps and icons.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/gdi/gdi.h"
#include "platform/gdi/image.h"
#include "support/image_bytes.h"

namespace orvex {
namespace {

std::vector<uint8_t> Header(int32_t w, int32_t h, uint16_t bits, uint32_t compression,
                            uint32_t colorsUsed = 0, uint32_t size = 40) {
  // The fields of a 40-byte header, cut to (or padded to) the size the header claims.
  std::vector<uint8_t> out(std::max<uint32_t>(size, 40), 0);
  const uint32_t fields[] = {size, static_cast<uint32_t>(w), static_cast<uint32_t>(h)};
  std::memcpy(out.data(), fields, 12);
  const uint16_t planes[] = {1, bits};
  std::memcpy(out.data() + 12, planes, 4);
  std::memcpy(out.data() + 16, &compression, 4);
  std::memcpy(out.data() + 32, &colorsUsed, 4);
  out.resize(size);
  return out;
}

std::vector<uint8_t> operator+(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::vector<uint8_t> Dwords(std::initializer_list<uint32_t> values) {
  std::vector<uint8_t> out(values.size() * 4);
  std::memcpy(out.data(), std::data(values), out.size());
  return out;
}

// The decoded pixels (0x00RRGGBB, alpha dropped), rows top-down; empty when refused.
std::vector<uint32_t> Decode(const std::vector<uint8_t>& dib, UINT flags = 0) {
  const HBITMAP bitmap = CreateBitmapFromPackedDib(dib, flags);
  if (!bitmap) return {};
  std::vector<uint32_t> rgb = BitmapPixels(bitmap)->bgra;
  for (uint32_t& p : rgb) p &= 0xFFFFFF;
  DeleteObject(bitmap);
  return rgb;
}

constexpr uint32_t W = 0xFFFFFF, K = 0;

TEST(Dib, DecodesEveryFormTheRowsTopDown) {
  const auto palette = Dwords({0x000000, 0xFFFFFF});
  const struct {
    const char* name;
    std::vector<uint8_t> dib;
    std::vector<uint32_t> pixels;
  } cases[] = {
      {"1-bit core header",
       std::vector<uint8_t>{12, 0, 0, 0, 8, 0, 1, 0, 1, 0, 1, 0} +
           std::vector<uint8_t>{0, 0, 0, 255, 255, 255, 0xA5, 0, 0, 0},
       {W, K, W, K, K, W, K, W}},
      {"4-bit, bottom-up",
       Header(2, 2, 4, BI_RGB, 2) + palette + std::vector<uint8_t>{0x01, 0, 0, 0, 0x10, 0, 0, 0},
       {W, K, K, W}},
      {"8-bit index past a short table is black",
       Header(2, 1, 8, BI_RGB, 2) + palette + std::vector<uint8_t>{1, 7, 0, 0},
       {W, K}},
      {"16-bit 5-5-5 top-down",
       Header(2, -2, 16, BI_RGB) + std::vector<uint8_t>{0x1F, 0, 0xE0, 0x03, 0, 0x7C, 0xFF, 0x7F},
       {0x0000FF, 0x00FF00, 0xFF0000, W}},
      {"16-bit 5-6-5 bit fields",
       Header(1, 1, 16, BI_BITFIELDS) + Dwords({0xF800, 0x07E0, 0x001F}) +
           std::vector<uint8_t>{0xE0, 0x07, 0, 0},
       {0x00FF00}},
      {"24-bit", Header(1, 1, 24, BI_RGB) + std::vector<uint8_t>{1, 2, 3, 0}, {0x030201}},
      {"RLE8 runs, literals, end of line, end of bitmap",
       Header(4, 2, 8, BI_RLE8, 2) + palette +
           std::vector<uint8_t>{2, 1, 0, 0, 0, 3, 1, 0, 1, 0, 0, 1},
       {W, K, W, K, W, W, K, K}},
      {"RLE8 delta and runs past the row stay inside",
       Header(2, 2, 8, BI_RLE8, 2) + palette + std::vector<uint8_t>{0, 2, 1, 1, 9, 1, 0, 1},
       {K, W, K, K}},
      {"RLE4",
       Header(4, 1, 4, BI_RLE4, 2) + palette + std::vector<uint8_t>{4, 0x10, 0, 1},
       {W, K, W, K}},
  };
  for (const auto& c : cases) EXPECT_EQ(Decode(c.dib), c.pixels) << c.name;
}

TEST(Dib, AlphaComesFromTheStoredByteOrTheAlphaMask) {
  // A V4 header with bit fields that name an alpha mask.
  auto v4 = Header(1, 1, 32, BI_BITFIELDS, 0, 108);
  const uint32_t masks[] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
  std::memcpy(v4.data() + 40, masks, sizeof masks);
  HBITMAP bitmap = CreateBitmapFromPackedDib(v4 + Dwords({0x80102030}), 0);
  ASSERT_NE(bitmap, 0u);
  EXPECT_EQ(BitmapPixels(bitmap)->bgra[0], 0x80102030u);
  EXPECT_TRUE(BitmapHasAlpha(bitmap));
  DeleteObject(bitmap);
  // 24 bits carry none: alpha 0, as GetDIBits reads a screen-compatible bitmap.
  bitmap =
      CreateBitmapFromPackedDib(Header(1, 1, 24, BI_RGB) + std::vector<uint8_t>{1, 2, 3, 0}, 0);
  EXPECT_FALSE(BitmapHasAlpha(bitmap));
  DeleteObject(bitmap);
}

TEST(Dib, ThreeDColoursReplaceTheGreysOfTheColourTable) {
  const auto dib = Header(3, 1, 8, BI_RGB, 3) + Dwords({0x808080, 0xC0C0C0, 0xDFDFDF}) +
                   std::vector<uint8_t>{0, 1, 2, 0};
  EXPECT_EQ(Decode(dib), (std::vector<uint32_t>{0x808080, 0xC0C0C0, 0xDFDFDF}));
  EXPECT_EQ(Decode(dib, LR_LOADMAP3DCOLORS), (std::vector<uint32_t>{0xA6A6A6, 0xF5F5F5, 0xE3E3E3}));
}

TEST(Dib, DamagedHeadersAreRefused) {
  const struct {
    const char* name;
    std::vector<uint8_t> dib;
  } cases[] = {
      {"empty", {}},
      {"header cut short", std::vector<uint8_t>(20, 40)},
      {"unknown header size", Header(1, 1, 24, BI_RGB, 0, 30)},
      {"zero width", Header(0, 1, 24, BI_RGB) + std::vector<uint8_t>(4)},
      {"bad bit count", Header(1, 1, 7, BI_RGB) + std::vector<uint8_t>(4)},
      {"RLE8 at 4 bits", Header(1, 1, 4, BI_RLE8) + std::vector<uint8_t>(64)},
      {"top-down RLE", Header(1, -1, 8, BI_RLE8) + std::vector<uint8_t>(1024)},
      {"bits cut short", Header(100, 100, 24, BI_RGB) + std::vector<uint8_t>(10)},
      {"colour table cut short", Header(1, 1, 8, BI_RGB) + std::vector<uint8_t>(10)},
      {"too large to decode", Header(100000, 100000, 1, BI_RGB) + std::vector<uint8_t>(16)},
  };
  for (const auto& c : cases) EXPECT_EQ(CreateBitmapFromPackedDib(c.dib, 0), 0u) << c.name;
}

TEST(Handles, EachKindIsFreedByItsOwnFunctionOnce) {
  const auto image = test::IconImage(16, 0x123456);
  const HICON icon = CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()), TRUE,
                                              0x00030000, 0, 0, 0);
  const HBITMAP bitmap = CreateBitmapFromPackedDib(test::PackedDib(2, 2, 24, 0), 0);
  ASSERT_NE(icon, 0u);
  ASSERT_NE(bitmap, 0u);
  EXPECT_FALSE(DeleteObject(icon));
  EXPECT_FALSE(DestroyIcon(bitmap));
  EXPECT_EQ(GetObjectA(icon, sizeof(BITMAP), nullptr), 0);
  EXPECT_TRUE(DestroyIcon(icon));
  EXPECT_FALSE(DestroyIcon(icon));
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_FALSE(DeleteObject(bitmap));
  EXPECT_FALSE(BitmapPixels(bitmap));
}

TEST(Icons, HotspotsMasksAndTheEntryAGroupChooses) {
  const auto cursor = test::CursorImage(32, 5, 7, 0x102030);
  const HICON handle = CreateIconFromResourceEx(cursor.data(), static_cast<DWORD>(cursor.size()),
                                                FALSE, 0x00030000, 0, 0, 0);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(handle, &info));
  EXPECT_EQ(info.fIcon, FALSE);
  EXPECT_EQ(info.xHotspot, 5u);
  EXPECT_EQ(info.yHotspot, 7u);
  BITMAP mask{};
  GetObjectA(info.hbmMask, sizeof mask, &mask);
  EXPECT_EQ(mask.bmBitsPixel, 1);
  EXPECT_EQ(mask.bmHeight, 32);
  DeleteObject(info.hbmMask);
  DeleteObject(info.hbmColor);
  DestroyCursor(handle);

  // Group entries: 16 × 16 first, then 32 × 32 at 4 and 8 bits and 16 × 16 at 32 bits.
  std::vector<uint8_t> group = {0, 0, 1, 0, 4, 0};
  const uint8_t entries[4][14] = {{16, 16, 16, 0, 1, 0, 4, 0, 0, 0, 0, 0, 1, 0},
                                  {32, 32, 16, 0, 1, 0, 4, 0, 0, 0, 0, 0, 2, 0},
                                  {32, 32, 0, 0, 1, 0, 8, 0, 0, 0, 0, 0, 3, 0},
                                  {16, 16, 0, 0, 1, 0, 32, 0, 0, 0, 0, 0, 4, 0}};
  for (const auto& e : entries) group.insert(group.end(), e, e + 14);
  EXPECT_EQ(LookupIconIdFromDirectoryEx(group.data(), TRUE, 0, 0, 0), 4);
  EXPECT_EQ(LookupIconIdFromDirectoryEx(group.data(), TRUE, 32, 32, 0), 3);
  EXPECT_EQ(LookupIconIdFromDirectoryEx(group.data(), FALSE, 0, 0, 0), 0);  // not cursors
}

TEST(Icons, BytesThatAreNoIconImageGiveNoHandle) {
  const std::vector<uint8_t> cases[] = {
      {},
      {1, 2, 3},
      {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0},
      test::PackedDib(4, 1, 24, 0) /* one row: no room for colour and mask */};
  for (const auto& bytes : cases) {
    EXPECT_EQ(CreateIconFromResourceEx(bytes.data(), static_cast<DWORD>(bytes.size()), TRUE,
                                       0x00030000, 0, 0, 0),
              0u)
        << bytes.size();
  }
}

}  // namespace
}  // namespace orvex
