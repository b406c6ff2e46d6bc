// The GDI functions that hosts draw with (fonts and text, memory contexts and StretchBlt) as
// the stand-in serves them over cairo: what they draw, and what they refuse.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/gdi/dc.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/image.h"
#include "platform/user/font.h"

namespace orvex {
namespace {

constexpr uint32_t kGrey = 0xFF808080;

// A 64 × 24 ARGB surface filled with grey and a device context over it.
class Canvas {
 public:
  Canvas() : surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 64, 24)) {
    cairo_t* cr = cairo_create(surface_);
    cairo_set_source_rgb(cr, 0x80 / 255.0, 0x80 / 255.0, 0x80 / 255.0);
    cairo_paint(cr);
    dc_ = CreateDCForCairo(cr);
    cairo_destroy(cr);
  }
  ~Canvas() {
    DeleteDC(dc_);
    cairo_surface_destroy(surface_);
  }
  HDC dc() const { return dc_; }
  uint32_t At(int x, int y) {
    cairo_surface_flush(surface_);
    const unsigned char* row =
        cairo_image_surface_get_data(surface_) + y * cairo_image_surface_get_stride(surface_);
    uint32_t pixel;
    std::memcpy(&pixel, row + x * 4, 4);
    return pixel;
  }
  int Count(uint32_t pixel) {
    int n = 0;
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 64; ++x) n += At(x, y) == pixel;
    return n;
  }

 private:
  cairo_surface_t* surface_;
  HDC dc_ = 0;
};

// A 4 × 2 opaque bitmap whose pixel (x, y) is 0xFF0000yx (blue channel: row and column).
HBITMAP Numbered() {
  Pixels pixels{4, 2, {}};
  for (uint32_t y = 0; y < 2; ++y)
    for (uint32_t x = 0; x < 4; ++x) pixels.bgra.push_back(0xFF000000 | y << 4 | x);
  return CreateBitmapFromPixels(std::move(pixels), 32);
}

TEST(GdiDrawingTest, StretchBltCopiesTheSourceRectangleScaled) {
  const HBITMAP bitmap = Numbered();
  const HDC memory = CreateCompatibleDC(0);
  ASSERT_NE(memory, 0u);
  EXPECT_EQ(SelectObject(memory, bitmap), 0u);  // nothing was selected before
  EXPECT_EQ(GetCurrentObject(memory, OBJ_BITMAP), bitmap);
  struct Case {
    int cx, cy, xSource, ySource, cxSource, cySource;
    // Destination pixel (x, y) and what it holds.
    int x, y;
    uint32_t expected;
  } cases[] = {
      {4, 2, 0, 0, 4, 2, 3, 1, 0xFF000013},  // whole, own size
      {8, 4, 0, 0, 4, 2, 7, 3, 0xFF000013},  // whole, doubled
      {8, 4, 0, 0, 4, 2, 2, 0, 0xFF000001},  // doubled: (2, 0) is source (1, 0)
      {2, 1, 2, 1, 2, 1, 0, 0, 0xFF000012},  // the lower right part
      {2, 1, 2, 1, 2, 1, 2, 0, kGrey},       // nothing beside it
      {4, 2, 1, 0, 2, 1, 3, 1, 0xFF000002},  // a part, doubled
  };
  for (const Case& c : cases) {
    Canvas canvas;
    EXPECT_TRUE(StretchBlt(canvas.dc(), 0, 0, c.cx, c.cy, memory, c.xSource, c.ySource, c.cxSource,
                           c.cySource, SRCCOPY));
    EXPECT_EQ(canvas.At(c.x, c.y), c.expected) << c.cx << "x" << c.cy << " from " << c.xSource
                                               << "," << c.ySource << " at " << c.x << "," << c.y;
  }
  Canvas canvas;
  const HDC other = CreateCompatibleDC(0);
  EXPECT_FALSE(StretchBlt(canvas.dc(), 0, 0, 4, 2, memory, 0, 0, 4, 2, 0x00EE0086));  // not SRCCOPY
  EXPECT_FALSE(StretchBlt(canvas.dc(), 0, 0, -4, 2, memory, 0, 0, 4, 2, SRCCOPY));
  EXPECT_FALSE(StretchBlt(canvas.dc(), 0, 0, 4, 2, other, 0, 0, 4, 2, SRCCOPY));  // no bitmap
  EXPECT_FALSE(StretchBlt(memory, 0, 0, 4, 2, memory, 0, 0, 4, 2, SRCCOPY));      // no surface
  EXPECT_EQ(canvas.Count(kGrey), 64 * 24);
  // Bitmaps go into memory contexts only; the selection survives a refused one.
  EXPECT_EQ(SelectObject(canvas.dc(), bitmap), 0u);
  EXPECT_EQ(SelectObject(memory, 0x12345678), 0u);
  EXPECT_EQ(GetCurrentObject(memory, OBJ_BITMAP), bitmap);
  DeleteDC(other);
  DeleteDC(memory);
  DeleteObject(bitmap);
}

TEST(GdiDrawingTest, FontsSelectAndMeasureAsTheFontsOfTheirRequests) {
  const HFONT font =
      CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "MS Sans Serif");
  ASSERT_NE(font, 0u);
  EXPECT_EQ(font, CreateFontForRequest(FontRequest{"MS Sans Serif", -11, FW_NORMAL, false}));
  // FW_DONTCARE asks for the normal weight.
  EXPECT_EQ(CreateFontA(-11, 0, 0, 0, FW_DONTCARE, 0, 0, 0, 0, 0, 0, 0, 0, "MS Sans Serif"), font);
  const HFONT bold = CreateFontA(-11, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "MS Sans Serif");
  EXPECT_NE(bold, font);

  const HDC dc = CreateCompatibleDC(0);
  TEXTMETRICA metrics{};
  ASSERT_TRUE(GetTextMetricsA(dc, &metrics));  // the system font
  EXPECT_EQ(metrics.tmHeight, GetFont(SystemFontRequest())->Metrics().tmHeight);
  EXPECT_EQ(SelectObject(dc, font), 0u);
  EXPECT_EQ(SelectObject(dc, bold), font);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), bold);
  ASSERT_TRUE(GetTextMetricsA(dc, &metrics));
  EXPECT_EQ(metrics.tmWeight, FW_BOLD);
  SelectObject(dc, font);
  ASSERT_TRUE(GetTextMetricsA(dc, &metrics));
  EXPECT_EQ(metrics.tmHeight, 13);
  EXPECT_EQ(metrics.tmWeight, FW_NORMAL);
  DeleteDC(dc);
  EXPECT_FALSE(GetTextMetricsA(dc, &metrics));  // a deleted context
}

TEST(GdiDrawingTest, TextOutDrawsInTheTextColourOverItsBackgroundMode) {
  const HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Tahoma");
  const std::string text = "Hello";
  ASSERT_NE(FontOfHandle(font), nullptr);
  const SIZE extent = FontOfHandle(font)->TextExtent(text);
  ASSERT_GT(extent.cx, 0);
  struct Case {
    int bkMode;
    COLORREF color;
    uint32_t ink;  // the pixel of a glyph's solid stroke
  } cases[] = {{TRANSPARENT, 0x000000, 0xFF000000}, {OPAQUE, 0x0000FF, 0xFFFF0000}};
  for (const Case& c : cases) {
    Canvas canvas;
    SelectObject(canvas.dc(), font);
    EXPECT_EQ(SetBkMode(canvas.dc(), c.bkMode), OPAQUE);  // a context starts OPAQUE
    EXPECT_EQ(GetBkMode(canvas.dc()), c.bkMode);
    EXPECT_EQ(SetTextColor(canvas.dc(), c.color), 0u);
    EXPECT_EQ(GetTextColor(canvas.dc()), c.color);
    ASSERT_TRUE(TextOutA(canvas.dc(), 2, 3, text.data(), static_cast<int>(text.size())));
    EXPECT_GT(canvas.Count(c.ink), 10) << c.bkMode;
    // OPAQUE fills the text's cell with white; nothing is drawn outside the cell.
    EXPECT_EQ(canvas.At(2 + extent.cx - 1, 3) == 0xFFFFFFFF, c.bkMode == OPAQUE);
    EXPECT_EQ(canvas.At(2 + extent.cx + 1, 3), kGrey);
    EXPECT_EQ(canvas.At(1, 3), kGrey);
  }
  Canvas canvas;
  EXPECT_FALSE(TextOutA(canvas.dc(), 0, 0, "x", -1));
  EXPECT_FALSE(TextOutA(canvas.dc(), 0, 0, nullptr, 1));
  EXPECT_TRUE(TextOutA(canvas.dc(), 0, 0, "", 0));
  EXPECT_EQ(SetBkMode(canvas.dc(), 3), 0);  // no such mode
  EXPECT_EQ(canvas.Count(kGrey), 64 * 24);
}

}  // namespace
}  // namespace orvex
