// The ScrollBar class: a horizontal or vertical bar with its thumb at the start of its
// range (0 to 100 at creation), or a size box.
#include "platform/gdi/gdi.h"
#include "platform/user/controls.h"

namespace orvex {
namespace {

constexpr DWORD SBS_VERT = 0x1, SBS_SIZEBOX = 0x8, SBS_SIZEGRIP = 0x10;

}  // namespace

LRESULT ScrollBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      ControlPaint p(window);
      if (!p.cr()) return 0;
      if (p.style() & (SBS_SIZEBOX | SBS_SIZEGRIP))
        FillSysColor(p.cr(), p.client(), COLOR_3DFACE);
      else
        DrawScrollBar(p.cr(), p.client(), (p.style() & SBS_VERT) != 0, true);
      return 0;
    }
    default:
      return ControlDefault(window, message, wParam, lParam);
  }
}

}  // namespace orvex
