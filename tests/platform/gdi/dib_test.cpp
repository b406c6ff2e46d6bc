// Packed DIBs decoded through the bitmap functions: every header form, depth and
// compression the platform reads, colour tables short of their depth, the 3D colour
// mapping, and damaged or oversized headers; handle life of bitmaps and icons.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#include "pe_writer/pe_writer.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/image.h"
#include "platform/module/module.h"
#include "support/image_bytes.h"
#include "support/temp_dir.h"

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
  EXPECT_EQ(LookupIconIdFromDirectoryEx(group.data(), TRUE, 0, 0, 0), 3);  // 0 means 32 here
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

struct GroupEntry {
  uint16_t size;
  uint16_t bits;
};

// A group directory whose entries name images firstId, firstId + 1, ... (a cursor entry
// stores twice the height).
std::vector<uint8_t> Group(bool cursor, const std::vector<GroupEntry>& entries, uint16_t firstId) {
  std::vector<uint8_t> out = {
      0, 0, static_cast<uint8_t>(cursor ? 2 : 1), 0, static_cast<uint8_t>(entries.size()), 0};
  uint16_t id = firstId;
  for (const GroupEntry& e : entries) {
    const auto word = [&](uint16_t v) {
      out.push_back(static_cast<uint8_t>(v));
      out.push_back(static_cast<uint8_t>(v >> 8));
    };
    if (cursor) {
      word(e.size);
      word(static_cast<uint16_t>(e.size * 2));
    } else {
      out.insert(out.end(), {static_cast<uint8_t>(e.size), static_cast<uint8_t>(e.size), 0, 0});
    }
    word(1);
    word(e.bits);
    word(0);  // stored size, unused by the choice
    word(0);
    word(id++);
  }
  return out;
}

// The entry a group gives LoadImageA and LookupIconIdFromDirectoryEx for each size asked for
// (0 = none), as measured under Wine. Icons: the nearest size, then the most colours. Cursors:
// the largest entry within the size (else the smallest), then the most colours. With no size
// asked for, LoadImageA takes an icon group's first entry's size and a cursor group's first
// entry; LookupIconIdFromDirectoryEx asks for the system's 32 × 32. Entries count from 1.
TEST(Icons, TheEntryAGroupGivesForEachSize) {
  struct Check {
    int size;
    int loaded;
    int looked;
  };
  const struct {
    const char* name;
    bool cursor;
    std::vector<GroupEntry> entries;
    std::vector<Check> checks;
  } cases[] = {
      {"cursors 16, 32, 48",
       true,
       {{16, 1}, {32, 1}, {48, 1}},
       {{0, 1, 2}, {24, 1, 1}, {40, 2, 2}, {48, 3, 3}}},
      {"cursors all above 32", true, {{64, 1}, {48, 1}}, {{0, 1, 2}, {16, 2, 2}}},
      {"cursors of one size", true, {{32, 1}, {32, 32}}, {{0, 1, 2}, {32, 2, 2}}},
      {"the small cursor last", true, {{64, 32}, {48, 32}, {16, 1}}, {{0, 1, 3}, {48, 2, 2}}},
      {"the largest within, not the nearest",
       true,
       {{40, 1}, {16, 1}},
       {{0, 1, 2}, {32, 2, 2}, {40, 1, 1}}},
      {"icons", false, {{16, 4}, {32, 4}, {32, 8}, {16, 32}}, {{0, 4, 3}, {24, 4, 4}, {40, 3, 3}}},
      {"icons from 48", false, {{48, 32}, {32, 32}}, {{0, 1, 2}, {24, 2, 2}, {40, 1, 1}}},
  };
  test::PeWriter writer;
  for (size_t c = 0; c < std::size(cases); ++c) {
    const uint16_t firstId = static_cast<uint16_t>(10 * (c + 1));
    const bool cursor = cases[c].cursor;
    writer.Add(test::ResId(cursor ? 12 : 14), test::ResId(static_cast<uint16_t>(c + 1)), 0x0409,
               Group(cursor, cases[c].entries, firstId));
    for (size_t i = 0; i < cases[c].entries.size(); ++i) {
      // Each image is painted in its own id, so the pixels tell which entry was taken.
      const uint16_t id = static_cast<uint16_t>(firstId + i);
      const int32_t size = cases[c].entries[i].size;
      writer.Add(test::ResId(cursor ? 1 : 3), test::ResId(id), 0x0409,
                 cursor ? test::CursorImage(size, 0, 0, id) : test::IconImage(size, id));
    }
  }
  test::TempDir dir;
  const std::string path = dir.Write("groups.dll", writer.Build());
  const HMODULE module = LoadLibraryExA(path.c_str(), 0, 0);
  ASSERT_NE(module, 0u);
  for (size_t c = 0; c < std::size(cases); ++c) {
    const auto& k = cases[c];
    const int firstId = 10 * static_cast<int>(c + 1);
    const auto group = Group(k.cursor, k.entries, static_cast<uint16_t>(firstId));
    for (const Check& check : k.checks) {
      const HANDLE image =
          LoadImageA(module, MAKEINTRESOURCEA(c + 1), k.cursor ? IMAGE_CURSOR : IMAGE_ICON,
                     check.size, check.size, 0);
      ASSERT_NE(image, 0u) << k.name << " at " << check.size;
      EXPECT_EQ(static_cast<int>(IconPixels(image)->bgra[0] & 0xFFFFFF), firstId + check.loaded - 1)
          << k.name << " at " << check.size;
      DestroyIcon(image);
      EXPECT_EQ(LookupIconIdFromDirectoryEx(group.data(), !k.cursor, check.size, check.size, 0),
                firstId + check.looked - 1)
          << k.name << " at " << check.size;
    }
  }
  FreeLibrary(module);
}

// A missing icon or cursor group fails with ERROR_RESOURCE_TYPE_NOT_FOUND, whether or not
// the module holds groups of that kind.
TEST(Icons, AMissingGroupReportsItsTypeMissing) {
  test::PeWriter writer;
  writer.Add(test::ResId(14), test::ResId(1), 0x0409, test::IconGroup(16, 2, 0));
  writer.Add(test::ResId(3), test::ResId(2), 0x0409, test::IconImage(16, 0x123456));
  test::TempDir dir;
  const std::string path = dir.Write("icons.dll", writer.Build());
  const HMODULE module = LoadLibraryExA(path.c_str(), 0, 0);
  ASSERT_NE(module, 0u);
  const struct {
    const char* name;
    UINT type;
    const char* resource;
  } cases[] = {
      {"icon by number beside an icon group", IMAGE_ICON, MAKEINTRESOURCEA(9)},
      {"icon by name beside an icon group", IMAGE_ICON, "MISSING"},
      {"cursor in a module without cursor groups", IMAGE_CURSOR, MAKEINTRESOURCEA(1)},
  };
  for (const auto& c : cases) {
    SetLastError(0);
    EXPECT_EQ(LoadImageA(module, c.resource, c.type, 0, 0, 0), 0u) << c.name;
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_TYPE_NOT_FOUND) << c.name;
  }
  const HANDLE found = LoadImageA(module, MAKEINTRESOURCEA(1), IMAGE_ICON, 0, 0, 0);
  EXPECT_NE(found, 0u);
  DestroyIcon(found);
  FreeLibrary(module);
}

// Freeing a stale handle, a handle of another kind or none fails and leaves the last error
// as it was.
TEST(Handles, AFailedFreeLeavesTheLastError) {
  const auto image = test::IconImage(16, 0x123456);
  const HICON icon = CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()), TRUE,
                                              0x00030000, 0, 0, 0);
  const HBITMAP bitmap = CreateBitmapFromPackedDib(test::PackedDib(2, 2, 24, 0), 0);
  const HICON staleIcon = CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()),
                                                   TRUE, 0x00030000, 0, 0, 0);
  const HBITMAP staleBitmap = CreateBitmapFromPackedDib(test::PackedDib(2, 2, 24, 0), 0);
  ASSERT_TRUE(DestroyIcon(staleIcon));
  ASSERT_TRUE(DeleteObject(staleBitmap));
  const struct {
    const char* name;
    BOOL (*free)(HANDLE);
    HANDLE handle;
  } cases[] = {
      {"DestroyIcon of a destroyed icon", DestroyIcon, staleIcon},
      {"DestroyIcon of a bitmap", DestroyIcon, bitmap},
      {"DestroyIcon of 0", DestroyIcon, 0},
      {"DestroyCursor of a destroyed icon", DestroyCursor, staleIcon},
      {"DeleteObject of a deleted bitmap", DeleteObject, staleBitmap},
      {"DeleteObject of an icon", DeleteObject, icon},
      {"DeleteObject of 0", DeleteObject, 0},
  };
  for (const auto& c : cases) {
    SetLastError(1234);
    EXPECT_FALSE(c.free(c.handle)) << c.name;
    EXPECT_EQ(GetLastError(), 1234u) << c.name;
  }
  EXPECT_TRUE(DestroyIcon(icon));
  EXPECT_TRUE(DeleteObject(bitmap));
}

// GetIconInfo reports fIcon as the handle was created: from the bytes' own kind or from the
// kind LoadImageA was asked for.
TEST(Icons, IconInfoReportsTheKindGivenAtCreation) {
  test::PeWriter writer;
  writer.Add(test::ResId(14), test::ResId(1), 0x0409, test::IconGroup(16, 2, 0));
  writer.Add(test::ResId(3), test::ResId(2), 0x0409, test::IconImage(16, 0x123456));
  writer.Add(test::ResId(12), test::ResId(1), 0x0409, test::CursorGroup(16, 3, 0));
  writer.Add(test::ResId(1), test::ResId(3), 0x0409, test::CursorImage(16, 1, 2, 0x654321));
  test::TempDir dir;
  const std::string path = dir.Write("kinds.dll", writer.Build());
  const HMODULE module = LoadLibraryExA(path.c_str(), 0, 0);
  ASSERT_NE(module, 0u);
  const auto iconBytes = test::IconImage(16, 0x123456);
  const auto cursorBytes = test::CursorImage(16, 1, 2, 0x654321);
  const struct {
    const char* name;
    HICON handle;
    BOOL fIcon;
  } cases[] = {
      {"icon bytes as an icon",
       CreateIconFromResourceEx(iconBytes.data(), static_cast<DWORD>(iconBytes.size()), TRUE,
                                0x00030000, 0, 0, 0),
       TRUE},
      {"cursor bytes as a cursor",
       CreateIconFromResourceEx(cursorBytes.data(), static_cast<DWORD>(cursorBytes.size()), FALSE,
                                0x00030000, 0, 0, 0),
       FALSE},
      {"LoadImageA of an icon", LoadImageA(module, MAKEINTRESOURCEA(1), IMAGE_ICON, 0, 0, 0), TRUE},
      {"LoadImageA of a cursor", LoadImageA(module, MAKEINTRESOURCEA(1), IMAGE_CURSOR, 0, 0, 0),
       FALSE},
  };
  for (const auto& c : cases) {
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(c.handle, &info)) << c.name;
    EXPECT_EQ(info.fIcon, c.fIcon) << c.name;
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    DestroyIcon(c.handle);
  }
  FreeLibrary(module);
}

}  // namespace
}  // namespace orvex
