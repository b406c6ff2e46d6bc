// The images of Wine's own modules as the platform gives them: sizes, hotspots, GetObject
// fields and the pixels GetDIBits reads back, compared with what the platform program in
// tests/wine/pictures printed under Wine (tests/wine/pictures/expected.txt).
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/module/module.h"
#include "support/wine_expected.h"

namespace orvex {
namespace {

constexpr char kCorpus[] = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows";

uint64_t Fnv(const uint8_t* p, size_t n) {
  uint64_t h = 1469598103934665603ULL;
  for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 1099511628211ULL;
  return h;
}

// "label=WxH,bppB,strideS,rowsR,fnvHASH" as the program prints it.
std::string Bits(const char* label, HBITMAP bitmap) {
  BITMAP bm{};
  if (!GetObjectA(bitmap, sizeof bm, &bm)) return std::string(label) + "=none";
  BITMAPINFO info{};
  info.bmiHeader = {
      sizeof(BITMAPINFOHEADER), bm.bmWidth, -bm.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<uint8_t> words(static_cast<size_t>(bm.bmWidth) * bm.bmHeight * 4);
  const int rows =
      GetDIBits(0, bitmap, 0, static_cast<UINT>(bm.bmHeight), words.data(), &info, DIB_RGB_COLORS);
  char text[160];
  std::snprintf(text, sizeof text, "%s=%dx%d,bpp%u,stride%d,rows%d,fnv%016llx", label, bm.bmWidth,
                bm.bmHeight, bm.bmBitsPixel, bm.bmWidthBytes, rows,
                static_cast<unsigned long long>(Fnv(words.data(), words.size())));
  return text;
}

// The fields of one expected line after the picture object's, keyed by name.

std::map<std::string, std::string> Ours(const std::string& folder, const std::string& file,
                                        UINT type, int id) {
  const HMODULE module = LoadLibraryExA((folder + "/" + file).c_str(), 0, 0);
  const HANDLE handle = LoadImageA(module, MAKEINTRESOURCEA(static_cast<uintptr_t>(id)), type, 0, 0,
                                   LR_LOADMAP3DCOLORS);
  std::string line;
  if (type == IMAGE_BITMAP) {
    line = Bits("bitmap", handle);
    DeleteObject(handle);
  } else {
    ICONINFO info{};
    GetIconInfo(handle, &info);
    line = "fIcon=" + std::to_string(info.fIcon) + " hotspot=" + std::to_string(info.xHotspot) +
           "," + std::to_string(info.yHotspot) + " " + Bits("color", info.hbmColor) + " " +
           Bits("mask", info.hbmMask);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(handle);
  }
  FreeLibrary(module);
  return test::ExpectedFields(line);
}

// Compares every image line of `expectedFile` with what the stand-in gives for the module
// in `folder`; returns the number of lines compared.
int CompareWith(const std::string& expectedFile, const std::string& folder) {
  std::ifstream expected(std::string(ORVEX_SOURCE_DIR) + "/tests/wine/pictures/" + expectedFile);
  std::string line;
  int compared = 0;
  while (std::getline(expected, line)) {
    char file[64];
    unsigned type = 0;
    int id = 0;
    if (std::sscanf(line.c_str(), "%63s %u #%d", file, &type, &id) != 3) continue;
    const auto want = test::ExpectedFields(line);
    const auto got = Ours(folder, file, type, id);
    for (const char* key : {"fIcon", "hotspot", "color", "mask", "bitmap"}) {
      if (!want.count(key)) continue;
      EXPECT_EQ(got.count(key) ? got.at(key) : "", want.at(key))
          << file << " #" << id << " " << key;
    }
    ++compared;
  }
  return compared;
}

TEST(WineImages, LoadImageGivesWhatThePlatformGives) {
  if (!std::filesystem::is_directory(kCorpus)) GTEST_SKIP() << "no Wine corpus";
  EXPECT_EQ(CompareWith("expected.txt", kCorpus), 4);
}

TEST(WineImages, TheProjectsOwnImagesToo) {
  EXPECT_EQ(CompareWith("expected_images.txt", ORVEX_SOURCE_DIR "/tests/fixtures/rc"), 8);
}

TEST(WineImages, SystemColoursAreTheDefaultScheme) {
  std::ifstream expected(std::string(ORVEX_SOURCE_DIR) + "/tests/wine/pictures/expected.txt");
  std::string line;
  std::getline(expected, line);
  for (const auto& [index, value] : test::ExpectedFields(line)) {
    char ours[16];
    std::snprintf(ours, sizeof ours, "%06x", GetSysColor(std::stoi(index)));
    EXPECT_EQ(ours, value) << index;
  }
}

}  // namespace
}  // namespace orvex
