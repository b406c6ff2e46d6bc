// MS Sans Serif against what Wine 8 makes of sserife.fon (tests/wine/sans_serif/sans_serif.c
// and its expected.txt): the strike and factor each height takes, the text metrics, every
// character's advance, the dialog base units and the pixels drawn.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/user/bitmap_font.h"
#include "platform/user/font.h"

namespace orvex {
namespace {

// One font of the Wine run: its request and what the platform answered.
struct WineFont {
  int height = 0, weight = 0, italic = 0;
  std::string face;
  std::map<std::string, long> metrics;  // "height" -> tmHeight, ...
  long letters = 0, unitsX = 0, unitsY = 0;
  std::vector<long> advances;                      // characters 0x20..0xFF
  std::vector<std::pair<long, long>> dialogUnits;  // of the dialogs built with the font
  std::string inkText;
  std::vector<std::string> ink;  // rows of '#' and '.'
};

std::vector<WineFont> ReadWineFonts() {
  std::ifstream in(ORVEX_SOURCE_DIR "/tests/wine/sans_serif/expected.txt");
  std::vector<WineFont> fonts;
  std::map<std::string, size_t> byLabel;
  WineFont* inking = nullptr;
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("  ", 0) == 0) {
      if (inking) inking->ink.push_back(line.substr(2));
      continue;
    }
    inking = nullptr;
    const size_t bar = line.find('|');
    const size_t inkAt = line.find(" ink \"");
    const std::string label = line.substr(0, std::min(bar, inkAt));
    auto [found, added] = byLabel.emplace(label, fonts.size());
    if (added) {
      WineFont font;
      std::istringstream words(label);
      std::string word;
      words >> word >> font.height >> word >> font.weight >> word >> font.italic;
      fonts.push_back(font);
    }
    WineFont& font = fonts[found->second];
    if (inkAt != std::string::npos && inkAt < bar) {
      const size_t open = inkAt + 6, close = line.find('"', open);
      font.inkText = line.substr(open, close - open);
      inking = &font;
      continue;
    }
    std::istringstream rest(line.substr(bar + 1));
    std::string kind, word;
    rest >> kind;
    if (kind == "face") {
      std::getline(rest >> std::ws, font.face);
    } else if (kind == "tm") {
      std::string name, value;
      while (rest >> name >> value) font.metrics[name] = std::stol(value, nullptr, 0);
    } else if (kind == "letters") {
      rest >> font.letters >> word >> font.unitsX >> word >> font.unitsY;
    } else if (kind == "advances") {
      long advance = 0;
      while (rest >> advance) font.advances.push_back(advance);
    } else if (kind == "dialog" || kind == "dialogex") {
      const size_t units = line.rfind("units ");
      std::istringstream values(line.substr(units + 6));
      long x = 0, y = 0;
      values >> x >> word >> y;
      font.dialogUnits.emplace_back(x, y);
    }
  }
  return fonts;
}

std::string Label(const WineFont& f) {
  return "height " + std::to_string(f.height) + " weight " + std::to_string(f.weight) +
         (f.italic ? " italic" : "");
}

std::shared_ptr<const Font> FontOf(const WineFont& f) {
  return GetFont(FontRequest{"MS Sans Serif", f.height, f.weight, f.italic != 0});
}

TEST(SansSerifWineTest, MetricsAdvancesAndBaseUnitsMatchWine) {
  const std::vector<WineFont> fonts = ReadWineFonts();
  ASSERT_GE(fonts.size(), 40u);
  const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  for (const WineFont& wine : fonts) {
    SCOPED_TRACE(Label(wine));
    ASSERT_EQ(wine.face, "MS Sans Serif");
    const auto font = FontOf(wine);
    ASSERT_NE(font, nullptr);
    const std::string& path = font->FilePath();
    EXPECT_EQ(path.substr(path.rfind('/') + 1), "sserife.fon");
    const TEXTMETRICA& tm = font->Metrics();
    EXPECT_EQ(tm.tmHeight, wine.metrics.at("height"));
    EXPECT_EQ(tm.tmAscent, wine.metrics.at("ascent"));
    EXPECT_EQ(tm.tmDescent, wine.metrics.at("descent"));
    EXPECT_EQ(tm.tmInternalLeading, wine.metrics.at("internal"));
    EXPECT_EQ(tm.tmExternalLeading, wine.metrics.at("external"));
    EXPECT_EQ(tm.tmAveCharWidth, wine.metrics.at("avecw"));
    EXPECT_EQ(tm.tmMaxCharWidth, wine.metrics.at("maxcw"));
    EXPECT_EQ(tm.tmWeight, wine.metrics.at("weight"));

    const LONG extent = font->TextExtent(letters).cx;
    EXPECT_EQ(extent, wine.letters);
    // The dialog manager's base units are the 52 letters' rounded average and the cell.
    for (const auto& [x, y] : wine.dialogUnits) {
      EXPECT_EQ((extent / 26 + 1) / 2, x);
      EXPECT_EQ(tm.tmHeight, y);
    }
    ASSERT_EQ(wine.advances.size(), 0xE0u);
    std::vector<long> ours;
    for (int c = 0x20; c <= 0xFF; ++c) ours.push_back(font->TextExtent(std::string(1, char(c))).cx);
    EXPECT_EQ(ours, wine.advances);
  }
}

// The pixels of the Wine run's text, drawn in black on a transparent cell. Left out: the
// italic request (Wine draws the upright strike a pixel to the left, while its metrics say
// upright) and the enlarged strike (Wine places the characters at the enlarged advances but
// draws them at the strike's own size; the stand-in enlarges them).
TEST(SansSerifWineTest, StrikesDrawTheirPixelsAsWineDoes) {
  int compared = 0;
  for (const WineFont& wine : ReadWineFonts()) {
    if (wine.ink.empty() || wine.italic || wine.metrics.at("height") > 20) continue;
    SCOPED_TRACE(Label(wine));
    const auto font = FontOf(wine);
    ASSERT_NE(font, nullptr);
    const SIZE size = font->TextExtent(wine.inkText);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size.cx, size.cy);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 0, 0, 0);
    font->Draw(cr, 0, 0, wine.inkText);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    std::vector<std::string> ours;
    for (int y = 0; y < size.cy; ++y) {
      std::string row;
      for (int x = 0; x < size.cx; ++x) row += data[y * stride + x * 4 + 3] > 0x80 ? '#' : '.';
      ours.push_back(row);
    }
    cairo_surface_destroy(surface);
    EXPECT_EQ(ours, wine.ink);
    ++compared;
  }
  EXPECT_GE(compared, 8);
}

// An enlarged strike draws each pixel as a block of the factor's size.
TEST(SansSerifWineTest, EnlargedStrikeDrawsBlocks) {
  const auto small = GetFont(FontRequest{"MS Sans Serif", -16, FW_NORMAL, false});
  const auto large = GetFont(FontRequest{"MS Sans Serif", -32, FW_NORMAL, false});
  ASSERT_NE(small, nullptr);
  ASSERT_NE(large, nullptr);
  ASSERT_EQ(large->Metrics().tmHeight, 2 * small->Metrics().tmHeight);
  auto inkOf = [](const Font& font, int scale) {
    const int w = 16 * scale, h = font.Metrics().tmHeight;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 0, 0, 0);
    font.Draw(cr, 0, 0, "H");
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    std::vector<bool> set;
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) set.push_back(data[y * stride + x * 4 + 3] > 0x80);
    cairo_surface_destroy(surface);
    return set;
  };
  const std::vector<bool> one = inkOf(*small, 1), two = inkOf(*large, 2);
  const int w = 16, h = small->Metrics().tmHeight;
  int marked = 0;
  for (int y = 0; y < 2 * h; ++y) {
    for (int x = 0; x < 2 * w; ++x) {
      EXPECT_EQ(two[y * 2 * w + x], one[(y / 2) * w + x / 2]) << x << "," << y;
      marked += two[y * 2 * w + x];
    }
  }
  EXPECT_GT(marked, 0);
}

// Which strike and factor a height takes, over the strikes of sserife.fon (cells 13, 16, 20
// with internal leading 2, 3, 4), given in any order. The Wine run has most of these heights;
// this table names the rule's edges.
TEST(SansSerifWineTest, HeightsChooseTheTallestFittingStrikeAndWholeFactors) {
  const StrikeHeight strikes[] = {{16, 3}, {13, 2}, {20, 4}};
  const struct {
    int request;
    size_t strike;
    int scale;
  } cases[] = {
      {0, 1, 1},
      {1, 1, 1},
      {-1, 1, 1},
      {12, 1, 1},
      {15, 1, 1},
      {16, 0, 1},
      {-12, 1, 1},
      {-13, 0, 1},
      {-16, 2, 1},
      {32, 2, 1},
      {35, 2, 1},
      {36, 2, 2},
      {-31, 2, 1},
      {-32, 2, 2},
      {52, 2, 2},
      {54, 2, 2},
      {55, 2, 3},
      {-64, 2, 3},
      {-2147483647 - 1, 2, 3277},
      {2147483647, 2, 3277},
  };
  for (const auto& c : cases) {
    const StrikeChoice choice = ChooseStrike(strikes, c.request);
    EXPECT_EQ(choice.strike, c.strike) << c.request;
    EXPECT_EQ(choice.scale, c.scale) << c.request;
  }
}

// Without sserife.fon the face falls back to Tahoma's outlines.
TEST(SansSerifWineTest, MissingFonFallsBackToTahoma) {
  const std::string folder = ::testing::TempDir() + "/fonts_without_fon";
  std::filesystem::create_directories(folder);
  for (const char* file : {"tahoma.ttf", "tahomabd.ttf"}) {
    std::filesystem::remove(folder + "/" + file);
    std::filesystem::create_symlink(std::string("/usr/share/wine/fonts/") + file,
                                    folder + "/" + file);
  }
  SetFontFolderForTesting(folder);
  const auto font = GetFont(FontRequest{"MS Sans Serif", -13, FW_BOLD, false});
  SetFontFolderForTesting("/usr/share/wine/fonts");
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font->FilePath(), folder + "/tahomabd.ttf");
}

}  // namespace
}  // namespace orvex
