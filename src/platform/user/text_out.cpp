// The text functions of the platform's GDI over the stand-in's fonts: they live beside the
// faces, in the user folder, and draw into the cairo context behind a device context.
#include <cairo.h>

#include <memory>
#include <string_view>

#include "platform/gdi/dc.h"
#include "platform/gdi/gdi.h"
#include "platform/user/draw.h"
#include "platform/user/font.h"

namespace orvex {
namespace {

// The font selected into `dc`, or the system font when none is.
std::shared_ptr<const Font> SelectedFont(HDC dc) {
  if (auto font = FontOfHandle(GetCurrentObject(dc, OBJ_FONT))) return font;
  return GetFont(SystemFontRequest());
}

}  // namespace

HFONT CreateFontA(int height, int, int, int, int weight, DWORD italic, DWORD, DWORD, DWORD, DWORD,
                  DWORD, DWORD, DWORD, LPCSTR face) {
  const int wanted = weight == FW_DONTCARE ? FW_NORMAL : weight;
  return CreateFontForRequest(FontRequest{face ? face : "", height, wanted, italic != 0});
}

BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics) {
  if (!metrics || GetBkMode(dc) == 0) return FALSE;  // (0: no such context)
  const auto font = SelectedFont(dc);
  if (!font) return FALSE;
  *metrics = font->Metrics();
  return TRUE;
}

BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int count) {
  cairo_t* cr = CairoOfDC(dc);
  if (!cr || (!text && count > 0) || count < 0) return FALSE;
  const auto font = SelectedFont(dc);
  if (!font) return FALSE;
  const std::string_view ansi(text ? text : "", static_cast<size_t>(count));
  cairo_save(cr);
  if (GetBkMode(dc) == OPAQUE) {
    const SIZE extent = font->TextExtent(ansi);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_rectangle(cr, x, y, extent.cx, extent.cy);
    cairo_fill(cr);
  }
  SetSourceColor(cr, GetTextColor(dc));
  font->Draw(cr, x, y, ansi);
  cairo_restore(cr);
  return TRUE;
}

}  // namespace orvex
