// The Edit class: a white field with its text, single-line or multi-line, aligned as its
// style says; a bordered edit gets the sunken client edge of the 3D look instead of its
// flat border.
#include <string>

#include "platform/gdi/gdi.h"
#include "platform/user/controls.h"
#include "platform/user/window_internal.h"

namespace orvex {
namespace {

constexpr DWORD ES_CENTER = 0x01, ES_RIGHT = 0x02, ES_MULTILINE = 0x04, ES_PASSWORD = 0x20,
                ES_READONLY = 0x800;
constexpr int kMargin = 1;  // the left and right margins at 96 dpi

void Paint(HWND window) {
  ControlPaint p(window);
  if (!p.cr()) return;
  const RECT& c = p.client();
  const bool gray = !p.enabled() || (p.style() & ES_READONLY);
  FillSysColor(p.cr(), c, gray ? COLOR_3DFACE : COLOR_WINDOW);
  std::string text = p.text();
  if ((p.style() & ES_PASSWORD) && !(p.style() & ES_MULTILINE)) text.assign(text.size(), '*');
  UINT format = DT_NOPREFIX | DT_EXPANDTABS;
  format |= (p.style() & ES_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
  if (p.style() & ES_CENTER) format |= DT_CENTER;
  if (p.style() & ES_RIGHT) format |= DT_RIGHT;
  const RECT area{c.left + kMargin, c.top, c.right - kMargin, c.bottom};
  DrawTextInRect(p.cr(), p.font(), text, area, format,
                 GetSysColor(p.enabled() ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
}

}  // namespace

LRESULT EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE: {
      const DWORD style = GetWindowLongA(window, GWL_STYLE);
      if (style & WS_BORDER) {
        SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(style & ~WS_BORDER));
        SetWindowLongA(window, GWL_EXSTYLE,
                       GetWindowLongA(window, GWL_EXSTYLE) | static_cast<LONG>(WS_EX_CLIENTEDGE));
      }
      return ControlDefault(window, message, wParam, lParam);
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint(window);
      return 0;
    default:
      return ControlDefault(window, message, wParam, lParam);
  }
}

}  // namespace orvex
