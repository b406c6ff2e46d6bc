#include <string>

#include "platform/gdi/dc.h"
#include "platform/gdi/gdi.h"
#include "platform/user/controls.h"
#include "platform/user/window_internal.h"

namespace orvex {

LRESULT ControlDefault(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETFONT:
      SetWindowFontHandle(window, static_cast<HFONT>(wParam));
      return 0;
    case WM_GETFONT:
      return static_cast<LRESULT>(WindowFontHandle(window));
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

ControlPaint::ControlPaint(HWND window)
    : window_(window),
      font_(WindowFont(window)),
      style_(GetWindowLongA(window, GWL_STYLE)),
      text_(WindowText(window)) {
  const HDC dc = BeginPaint(window, &paint_);
  cr_ = CairoOfDC(dc);
  GetClientRect(window, &client_);
}

ControlPaint::~ControlPaint() {
  EndPaint(window_, &paint_);
}

COLORREF ControlPaint::textColor() const {
  return GetSysColor(enabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
}

void ResizeWindow(HWND window, int width, int height) {
  RECT rect;
  if (!GetWindowRect(window, &rect)) return;
  POINT origin{rect.left, rect.top};
  const HWND parent = (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) ? GetParent(window) : 0;
  if (parent) MapWindowPoints(0, parent, &origin, 1);
  MoveWindow(window, origin.x, origin.y, width, height, TRUE);
}

std::string ClassNameOf(HWND window) {
  char name[64];
  const int n = GetClassNameA(window, name, sizeof name);
  return std::string(name, static_cast<size_t>(n > 0 ? n : 0));
}

}  // namespace orvex
