// Captures of windows: a window with the windows it owns, drawn onto a surface and kept
// as PNG, SVG or pixels (the surfaces' side lives in gdi/surface_capture.cpp).
#include "platform/user/window_capture.h"

#include <algorithm>
#include <vector>

#include "platform/gdi/surface_capture.h"
#include "platform/user/draw.h"
#include "platform/user/font.h"
#include "platform/user/window.h"

namespace orvex {
namespace {

// A top-level window with the visible windows it owns over it, each where it is on the
// screen relative to the owner.
void PaintWithOwned(HWND handle, cairo_t* cr) {
  PaintWindowTree(handle, cr);
  RECT ownerRect;
  if ((GetWindowLongA(handle, GWL_STYLE) & WS_CHILD) || !GetWindowRect(handle, &ownerRect)) return;
  std::vector<HWND> owned;  // bottom to top
  EnumWindows(
      [](HWND top, LPARAM list) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(top);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&owned));
  std::reverse(owned.begin(), owned.end());
  for (HWND o : owned) {
    RECT rect;
    if (GetWindow(o, GW_OWNER) != handle || !IsWindowVisible(o) || !GetWindowRect(o, &rect))
      continue;
    cairo_save(cr);
    cairo_translate(cr, rect.left - ownerRect.left, rect.top - ownerRect.top);
    PaintWithOwned(o, cr);
    cairo_restore(cr);
  }
}

// Hands the window's size and its drawing to `capture`; the capture shows the window even
// when it is hidden.
template <class Capture>
BOOL CaptureWindow(HWND handle, Capture capture) {
  RECT rect;
  if (!GetWindowRect(handle, &rect) || Width(rect) <= 0 || Height(rect) <= 0) return FALSE;
  const LONG style = GetWindowLongA(handle, GWL_STYLE);
  const Drawing draw = [handle, style](cairo_t* cr) {
    SetWindowLongA(handle, GWL_STYLE, style | static_cast<LONG>(WS_VISIBLE));
    PaintWithOwned(handle, cr);
    SetWindowLongA(handle, GWL_STYLE, style);
  };
  return capture(Width(rect), Height(rect), draw) ? TRUE : FALSE;
}

}  // namespace

BOOL CaptureWindowToPng(HWND handle, const char* path) {
  return CaptureWindow(handle, [path](int width, int height, const Drawing& draw) {
    return DrawToPng(width, height, draw, path);
  });
}

std::optional<Pixels> CaptureWindowPixels(HWND handle) {
  std::optional<Pixels> out;
  CaptureWindow(handle, [&out](int width, int height, const Drawing& draw) {
    out = DrawToPixels(width, height, draw);
    return out.has_value();
  });
  return out;
}

BOOL CaptureWindowToSvg(HWND handle, const char* path) {
  TextRecorder recorder;
  const BOOL drawn = CaptureWindow(handle, [path](int width, int height, const Drawing& draw) {
    return DrawToSvg(width, height, draw, path);
  });
  return drawn && AppendSvgTexts(path, recorder.texts()) ? TRUE : FALSE;
}

}  // namespace orvex
