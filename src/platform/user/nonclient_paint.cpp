// The non-client area of a window in the classic look: the outer 3D edge, the frame, the
// caption bar with its title and close button, the client edge and the scroll bars.
#include <algorithm>

#include "platform/gdi/gdi.h"
#include "platform/user/draw.h"
#include "platform/user/window_internal.h"
#include "platform/user/window_metrics.h"

namespace orvex {
namespace {

// Shrinks `r` by `n` pixels on every side after filling that ring with `color`.
void Band(cairo_t* cr, RECT* r, int n, COLORREF color) {
  if (n <= 0) return;
  FillSolid(cr, {r->left, r->top, r->right, r->top + n}, color);
  FillSolid(cr, {r->left, r->bottom - n, r->right, r->bottom}, color);
  FillSolid(cr, {r->left, r->top, r->left + n, r->bottom}, color);
  FillSolid(cr, {r->right - n, r->top, r->right, r->bottom}, color);
  *r = {r->left + n, r->top + n, r->right - n, r->bottom - n};
}

void PaintCaption(cairo_t* cr, RECT* r, DWORD style, DWORD exStyle, const std::string& title) {
  const bool tool = (exStyle & WS_EX_TOOLWINDOW) != 0;
  const int height = GetSystemMetrics(tool ? SM_CYSMCAPTION : SM_CYCAPTION);
  const RECT bar{r->left, r->top, r->right, r->top + height - 1};
  // The bar fades from the caption colour to its gradient partner, left to right.
  const COLORREF from = GetSysColor(COLOR_ACTIVECAPTION);
  const COLORREF to = GetSysColor(COLOR_GRADIENTACTIVECAPTION);
  cairo_pattern_t* gradient = cairo_pattern_create_linear(bar.left, 0, bar.right, 0);
  for (const auto& [at, c] : {std::pair{0.0, from}, std::pair{1.0, to}})
    cairo_pattern_add_color_stop_rgb(gradient, at, (c & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0,
                                     ((c >> 16) & 0xFF) / 255.0);
  cairo_rectangle(cr, bar.left, bar.top, Width(bar), Height(bar));
  cairo_set_source(cr, gradient);
  cairo_fill(cr);
  cairo_pattern_destroy(gradient);
  FillSysColor(cr, {r->left, bar.bottom, r->right, bar.bottom + 1}, COLOR_3DFACE);

  int textRight = bar.right - 2;
  if (style & WS_SYSMENU) {
    // The close button: a raised button holding Marlett's cross.
    const int bw = GetSystemMetrics(SM_CYCAPTION) - 3, bh = height - 5;
    const RECT button{bar.right - 2 - bw, bar.top + 2, bar.right - 2, bar.top + 2 + bh};
    FillSysColor(cr, button, COLOR_3DFACE);
    DrawEdgeRings(cr, button, EDGE_RAISED);
    DrawMarlett(cr, button, 'r', bh - 5, GetSysColor(COLOR_BTNTEXT));
    textRight = button.left - 2;
  }
  const auto font = GetFont(FontRequest{"MS Shell Dlg", HeightForPoints(8), FW_BOLD, false});
  if (font) {
    DrawTextInRect(cr, *font, title, {bar.left + 2, bar.top, textRight, bar.bottom},
                   DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX, GetSysColor(COLOR_CAPTIONTEXT));
  }
  r->top += height;
}

}  // namespace

void PaintNonClient(cairo_t* cr, int width, int height, DWORD style, DWORD exStyle,
                    const std::string& title) {
  RECT r{0, 0, width, height};
  const bool modal = (exStyle & WS_EX_DLGMODALFRAME) != 0;
  const bool thick = (style & WS_THICKFRAME) != 0;
  // The outer edge, as AdjustWindowRectEx counts it.
  if ((exStyle & (WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME)) == WS_EX_STATICEDGE)
    r = DrawEdgeRings(cr, r, BDR_SUNKENOUTER);
  else if (modal || thick || (style & WS_DLGFRAME))
    r = DrawEdgeRings(cr, r, EDGE_RAISED);
  if (thick)
    Band(cr, &r, GetSystemMetrics(SM_CXFRAME) - GetSystemMetrics(SM_CXDLGFRAME),
         GetSysColor(COLOR_3DFACE));
  if ((style & WS_DLGFRAME) || modal)
    Band(cr, &r, 1, GetSysColor(COLOR_3DFACE));
  else if (style & WS_BORDER)
    Band(cr, &r, 1, GetSysColor(COLOR_WINDOWFRAME));
  if ((style & WS_CAPTION) == WS_CAPTION) PaintCaption(cr, &r, style, exStyle, title);
  if (exStyle & WS_EX_CLIENTEDGE) r = DrawEdgeRings(cr, r, EDGE_SUNKEN);
  const int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
  const bool v = (style & WS_VSCROLL) != 0, h = (style & WS_HSCROLL) != 0;
  if (v) DrawScrollBar(cr, {r.right - cx, r.top, r.right, r.bottom - (h ? cy : 0)}, true, false);
  if (h) DrawScrollBar(cr, {r.left, r.bottom - cy, r.right - (v ? cx : 0), r.bottom}, false, false);
  if (v && h) FillSysColor(cr, {r.right - cx, r.bottom - cy, r.right, r.bottom}, COLOR_3DFACE);
}

}  // namespace orvex
