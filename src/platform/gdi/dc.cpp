#include "platform/gdi/dc.h"

#include <memory>

#include "platform/core/handle_table.h"
#include "platform/gdi/image.h"
#include "platform/gdi/objects.h"

namespace orvex {
namespace {

// A drawing context: one reference to the cairo context for the life of the handle (none
// for a memory context), and what is selected into it.
struct DeviceContext {
  explicit DeviceContext(cairo_t* context) : cairo(context ? cairo_reference(context) : nullptr) {}
  ~DeviceContext() {
    if (cairo) cairo_destroy(cairo);
  }
  DeviceContext(const DeviceContext&) = delete;
  DeviceContext& operator=(const DeviceContext&) = delete;
  cairo_t* cairo;
  HFONT font = 0;
  HBITMAP bitmap = 0;
  COLORREF textColor = 0;
  int bkMode = OPAQUE;
};

HandleTable<DeviceContext>& Contexts() {
  static HandleTable<DeviceContext> table(HandleKind::DeviceContext);
  return table;
}

HandleKind KindOf(HGDIOBJ object) {
  return static_cast<HandleKind>((object >> 16) & 0xFF);
}

}  // namespace

HDC CreateDCForCairo(cairo_t* context) {
  if (!context) return 0;
  return Contexts().Add(std::make_shared<DeviceContext>(context));
}

HDC CreateCompatibleDC(HDC) {
  return Contexts().Add(std::make_shared<DeviceContext>(nullptr));
}

BOOL DeleteDC(HDC dc) {
  return Contexts().Remove(dc) ? TRUE : FALSE;
}

cairo_t* CairoOfDC(HDC dc) {
  const auto context = Contexts().Find(dc);
  return context ? context->cairo : nullptr;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  const auto context = Contexts().Find(dc);
  if (!context || object == 0) return 0;
  HGDIOBJ previous = 0;
  switch (KindOf(object)) {
    case HandleKind::Font:
      previous = context->font;
      context->font = object;
      return previous;
    case HandleKind::Bitmap:
      // Bitmaps go into memory contexts only.
      if (context->cairo || !Bitmaps().Find(object)) return 0;
      previous = context->bitmap;
      context->bitmap = object;
      return previous;
    default:
      return 0;
  }
}

HGDIOBJ GetCurrentObject(HDC dc, UINT type) {
  const auto context = Contexts().Find(dc);
  if (!context) return 0;
  if (type == OBJ_FONT) return context->font;
  if (type == OBJ_BITMAP) return context->bitmap;
  return 0;
}

COLORREF SetTextColor(HDC dc, COLORREF color) {
  const auto context = Contexts().Find(dc);
  if (!context) return CLR_INVALID;
  const COLORREF previous = context->textColor;
  context->textColor = color;
  return previous;
}

COLORREF GetTextColor(HDC dc) {
  const auto context = Contexts().Find(dc);
  return context ? context->textColor : CLR_INVALID;
}

int SetBkMode(HDC dc, int mode) {
  const auto context = Contexts().Find(dc);
  if (!context || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
  const int previous = context->bkMode;
  context->bkMode = mode;
  return previous;
}

int GetBkMode(HDC dc) {
  const auto context = Contexts().Find(dc);
  return context ? context->bkMode : 0;
}

BOOL StretchBlt(HDC dest, int x, int y, int cx, int cy, HDC source, int xSource, int ySource,
                int cxSource, int cySource, DWORD rop) {
  cairo_t* cr = CairoOfDC(dest);
  const auto from = Contexts().Find(source);
  if (!cr || !from || rop != SRCCOPY || cx <= 0 || cy <= 0 || cxSource <= 0 || cySource <= 0) {
    return FALSE;
  }
  const auto object = Bitmaps().Find(from->bitmap);
  if (!object) return FALSE;
  const Pixels& pixels = object->pixels;
  if (xSource == 0 && ySource == 0 && cxSource == pixels.width && cySource == pixels.height) {
    return PaintBitmap(dest, x, y, cx, cy, from->bitmap);
  }
  cairo_surface_t* surface = SurfaceOf(pixels, !AnyAlpha(pixels));
  cairo_save(cr);
  cairo_rectangle(cr, x, y, cx, cy);
  cairo_clip(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, static_cast<double>(cx) / cxSource, static_cast<double>(cy) / cySource);
  cairo_set_source_surface(cr, surface, -xSource, -ySource);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_paint(cr);
  cairo_restore(cr);
  cairo_surface_destroy(surface);
  return TRUE;
}

}  // namespace orvex
