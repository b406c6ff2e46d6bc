#include "platform/user/font.h"

#include <gtest/gtest.h>

#include <string>

namespace orvex {
namespace {

TEST(FontTest, FaceNamesMapOntoTheirFiles) {
  struct Case {
    const char* face;
    int weight;
    const char* file;
  } cases[] = {
      {"MS Shell Dlg", FW_NORMAL, "/tahoma.ttf"}, {"ms shell dlg 2", FW_NORMAL, "/tahoma.ttf"},
      {"Tahoma", FW_BOLD, "/tahomabd.ttf"},       {"MS Sans Serif", FW_NORMAL, "/sserife.fon"},
      {"No Such Face", FW_NORMAL, "/tahoma.ttf"},
  };
  for (const Case& c : cases) {
    auto font = GetFont(FontRequest{c.face, -11, c.weight, false});
    ASSERT_NE(font, nullptr) << c.face;
    const std::string& path = font->FilePath();
    ASSERT_GE(path.size(), std::string(c.file).size());
    EXPECT_EQ(path.substr(path.size() - std::string(c.file).size()), c.file) << c.face;
  }
}

TEST(FontTest, EightPointMetricsMatchThePlatform) {
  EXPECT_EQ(HeightForPoints(8), -11);
  // Values GetTextMetricsA gives under Wine at 96 dpi with the same tahoma.ttf loaded
  // (AddFontResourceExA).
  struct Case {
    const char* face;
    LONG height, ascent, descent, internal_leading, average;
  } cases[] = {
      {"MS Shell Dlg", 13, 11, 2, 2, 7},
      {"MS Shell Dlg 2", 13, 11, 2, 2, 7},
      {"Tahoma", 13, 11, 2, 2, 7},
  };
  for (const Case& c : cases) {
    auto font = GetFont(FontRequest{c.face, HeightForPoints(8), FW_NORMAL, false});
    ASSERT_NE(font, nullptr);
    const TEXTMETRICA& tm = font->Metrics();
    EXPECT_EQ(tm.tmHeight, c.height) << c.face;
    EXPECT_EQ(tm.tmAscent, c.ascent) << c.face;
    EXPECT_EQ(tm.tmDescent, c.descent) << c.face;
    EXPECT_EQ(tm.tmInternalLeading, c.internal_leading) << c.face;
    EXPECT_EQ(tm.tmAveCharWidth, c.average) << c.face;
  }
}

TEST(FontTest, PositiveHeightIsTheCellHeight) {
  auto cell = GetFont(FontRequest{"Tahoma", 13, FW_NORMAL, false});
  ASSERT_NE(cell, nullptr);
  EXPECT_EQ(cell->Metrics().tmHeight, 13);
}

TEST(FontTest, ExtentsGrowWithTextAndStayCached) {
  auto font = GetFont(FontRequest{"Tahoma", -11, FW_NORMAL, false});
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font->TextExtent("").cx, 0);
  const LONG one = font->TextExtent("W").cx;
  EXPECT_GT(one, 0);
  EXPECT_EQ(font->TextExtent("WW").cx, 2 * one);
  EXPECT_EQ(font->TextExtent("W").cy, font->Metrics().tmHeight);
  EXPECT_EQ(GetFont(FontRequest{"Tahoma", -11, FW_NORMAL, false}), font);
}

// What drawing in black on a transparent surface of `width` × `height` marked: the first and
// last rows with ink (-1 for none), how many pixels, and the context's status afterwards.
struct Ink {
  int top = -1, bottom = -1, marked = 0;
  cairo_status_t status = CAIRO_STATUS_SUCCESS;
};
template <class Draw>
Ink InkOf(int width, int height, Draw draw) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 0, 0, 0);
  draw(cr);
  Ink ink;
  ink.status = cairo_status(cr);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (data[y * stride + x * 4 + 3] > 0x80) {
        if (ink.top < 0) ink.top = y;
        ink.bottom = y;
        ++ink.marked;
      }
    }
  }
  cairo_surface_destroy(surface);
  return ink;
}

TEST(FontTest, DrawingMarksPixelsInTheCell) {
  auto font = GetFont(FontRequest{"Tahoma", -11, FW_NORMAL, false});
  ASSERT_NE(font, nullptr);
  const Ink ink = InkOf(40, 20, [&](cairo_t* cr) { font->Draw(cr, 2, 3, "H"); });
  // A capital sits on the baseline (3 + ascent 11) and rises about 8 pixels at this size.
  EXPECT_EQ(ink.bottom, 3 + font->Metrics().tmAscent - 1);
  EXPECT_GE(ink.top, 3);
}

// A size beyond what the font engine scales draws nothing, and leaves the face drawing at
// every other size (a template may ask for any point size).
TEST(FontTest, OversizedFontLeavesTheFaceDrawing) {
  auto huge = GetFont(FontRequest{"Tahoma", -70000, FW_NORMAL, false});
  ASSERT_NE(huge, nullptr);
  auto font = GetFont(FontRequest{"Tahoma", -23, FW_NORMAL, false});
  ASSERT_NE(font, nullptr);
  const Ink ink = InkOf(40, 40, [&](cairo_t* cr) {
    huge->Draw(cr, 2, 3, "H");
    font->Draw(cr, 2, 3, "H");
  });
  EXPECT_EQ(ink.status, CAIRO_STATUS_SUCCESS);
  EXPECT_GT(ink.marked, 0);
}

// The extent of the 52 letters and the cell height decide the dialog base units; Wine 8 with
// the same faces gives these (tests/wine/fonts/expected.txt).
TEST(FontTest, LetterExtentsMatchThePlatform) {
  struct Case {
    const char* face;
    int points;
    LONG extent, height;
  } cases[] = {
      {"MS Shell Dlg", 8, 330, 13},  {"MS Shell Dlg", 9, 353, 14}, {"MS Shell Dlg", 10, 385, 16},
      {"MS Shell Dlg", 12, 475, 19}, {"Tahoma", 8, 330, 13},       {"System", 10, 385, 16},
  };
  const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  for (const Case& c : cases) {
    auto font = GetFont(FontRequest{c.face, HeightForPoints(c.points), FW_NORMAL, false});
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->TextExtent(letters).cx, c.extent) << c.face << " " << c.points;
    EXPECT_EQ(font->Metrics().tmHeight, c.height) << c.face << " " << c.points;
  }
}

}  // namespace
}  // namespace orvex
