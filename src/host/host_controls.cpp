// What the host kit's controls share: their window classes, font, text and picture
// drawing, and twips arithmetic.
#include "host/host_controls.h"

#include <cmath>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/ole/picture.h"
#include "platform/text/text.h"
#include "platform/user/window.h"

namespace orvex::host_kit {

// The controls' default font: MS Sans Serif 8 pt (its em height in pixels at the screen's
// resolution).
HFONT ControlFont() {
  static const HFONT font =
      CreateFontA(-static_cast<int>(std::lround(8.0 * GetDeviceCaps(0, LOGPIXELSY) / 72)), 0, 0, 0,
                  FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                  DEFAULT_QUALITY, DEFAULT_PITCH, "MS Sans Serif");
  return font;
}

int ControlLineHeight() {
  static const int height = [] {
    const HDC dc = CreateCompatibleDC(0);
    const HGDIOBJ previous = SelectObject(dc, ControlFont());
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, previous);
    DeleteDC(dc);
    return metrics.tmHeight;
  }();
  return height;
}

// One line of text in black with its top-left corner at (x, y).
void DrawLine(HDC dc, int x, int y, std::u16string_view text) {
  const std::string ansi = UnicodeToAnsi(text);
  const HGDIOBJ previous = SelectObject(dc, ControlFont());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, 0);
  TextOutA(dc, x, y, ansi.data(), static_cast<int>(ansi.size()));
  SelectObject(dc, previous);
}

// A picture at (x, y), cx × cy (its own size when either is 0), drawn from its handle.
void DrawPicture(HDC dc, IPicture* picture, int x, int y, int cx, int cy) {
  SHORT type = PICTYPE_NONE;
  OLE_HANDLE handle = 0;
  if (picture->get_Type(&type) < 0 || picture->get_Handle(&handle) < 0 || cx < 0 || cy < 0) return;
  if (type == PICTYPE_ICON) {
    DrawIconEx(dc, x, y, handle, cx, cy, 0, 0, DI_NORMAL);
    return;
  }
  BITMAP bitmap{};
  if (type != PICTYPE_BITMAP || !GetObjectA(handle, sizeof bitmap, &bitmap)) return;
  if (cx == 0 || cy == 0) {
    cx = bitmap.bmWidth;
    cy = bitmap.bmHeight;
  }
  const HDC memory = CreateCompatibleDC(dc);
  const HGDIOBJ previous = SelectObject(memory, handle);
  StretchBlt(dc, x, y, cx, cy, memory, 0, 0, bitmap.bmWidth, bitmap.bmHeight, SRCCOPY);
  SelectObject(memory, previous);
  DeleteDC(memory);
}

// Drawing is kept and painted on WM_PAINT: a change asks for a repaint now.
void Repaint(HWND window) {
  InvalidateRect(window, nullptr, TRUE);
  UpdateWindow(window);
}

double TwipsPerPixel() {
  return TwipsPerPixelX();
}

double Number(const VARIANT& value) {
  return Variant(value).ToDouble();
}

bool Missing(const VARIANT& value) {
  return value.vt == VT_ERROR || value.vt == VT_EMPTY;
}

// The lines of a text whose lines end in CR LF; the part after the last CR LF is a line too
// (empty when the text ends in one).
std::vector<std::u16string_view> Lines(std::u16string_view text) {
  std::vector<std::u16string_view> lines;
  for (size_t start = 0;;) {
    const size_t end = text.find(u"\r\n", start);
    lines.push_back(text.substr(start, end == std::u16string_view::npos ? end : end - start));
    if (end == std::u16string_view::npos) return lines;
    start = end + 2;
  }
}

int Pixels(double twips) {
  return static_cast<int>(std::lround(twips / TwipsPerPixel()));
}

// Twips per unit of a scale mode.
double TwipsPer(int32_t mode, bool vertical) {
  switch (mode) {
    case 0:
    case 1:
      return 1;
    case 2:
      return 20;
    case 3:
      return TwipsPerPixel();
    case 4:
      return vertical ? 240 : 120;
    case 5:
      return 1440;
    case 6:
      return 1440 / 25.4;
    case 7:
      return 1440 / 2.54;
    case 8:
      return 1440 / 2540.0;
    default:
      throw RuntimeError(Err::InvalidProcedureCall);
  }
}

LRESULT ORVEX_WNDPROC_CALL FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterWindowClasses(WNDPROC pictureBoxProc, WNDPROC textBoxProc) {
  static const bool registered = [&] {
    WNDCLASSA form{};
    form.lpfnWndProc = FormProc;
    form.hbrBackground = COLOR_3DFACE + 1;
    form.lpszClassName = kFormClass;
    RegisterClassA(&form);
    WNDCLASSA box = form;
    box.lpfnWndProc = pictureBoxProc;
    box.lpszClassName = kPictureBoxClass;
    RegisterClassA(&box);
    WNDCLASSA text = form;
    text.lpfnWndProc = textBoxProc;
    text.hbrBackground = COLOR_WINDOW + 1;
    text.lpszClassName = kTextBoxClass;
    RegisterClassA(&text);
    return true;
  }();
  (void)registered;
}

// Outer size of a window in twips.
double OuterTwips(HWND window, bool vertical) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return (vertical ? rect.bottom - rect.top : rect.right - rect.left) * TwipsPerPixel();
}

// The window's rectangle where MoveWindow places it: in its parent's client area for a child,
// on the screen otherwise.
RECT PlacedRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  if (const HWND parent = GetParent(window);
      parent && (GetWindowLongA(window, GWL_STYLE) & WS_CHILD)) {
    POINT client{0, 0};
    ClientToScreen(parent, &client);
    rect = {rect.left - client.x, rect.top - client.y, rect.right - client.x,
            rect.bottom - client.y};
  }
  return rect;
}

void Resize(HWND window, double twips, bool vertical) {
  const RECT rect = PlacedRect(window);
  const int width = vertical ? rect.right - rect.left : Pixels(twips);
  const int height = vertical ? Pixels(twips) : rect.bottom - rect.top;
  MoveWindow(window, rect.left, rect.top, width, height, TRUE);
}
}  // namespace orvex::host_kit
