// The Static class: text with its alignment, icons and bitmaps from the module of the
// window (sized to the image as they are created), rectangles, frames and etched lines.
#include "platform/gdi/gdi.h"
#include "platform/gdi/image.h"
#include "platform/user/controls.h"
#include "platform/user/window_internal.h"
#include "platform/user/window_metrics.h"

namespace orvex {
namespace {

constexpr DWORD SS_CENTER = 0x01, SS_RIGHT = 0x02, SS_ICON = 0x03, SS_BLACKRECT = 0x04,
                SS_GRAYRECT = 0x05, SS_WHITERECT = 0x06, SS_BLACKFRAME = 0x07, SS_GRAYFRAME = 0x08,
                SS_WHITEFRAME = 0x09, SS_SIMPLE = 0x0B, SS_LEFTNOWORDWRAP = 0x0C,
                SS_OWNERDRAW = 0x0D, SS_BITMAP = 0x0E, SS_ETCHEDHORZ = 0x10, SS_ETCHEDVERT = 0x11,
                SS_ETCHEDFRAME = 0x12, SS_TYPEMASK = 0x1F, SS_REALSIZECONTROL = 0x40,
                SS_NOPREFIX = 0x80, SS_CENTERIMAGE = 0x200, SS_SUNKEN = 0x1000;
constexpr int kImageOffset = 0;  // the icon or bitmap handle, in the window's extra bytes

// Loads the image that an SS_ICON / SS_BITMAP window's text names and sizes the window to it.
void LoadImageFromText(HWND window, DWORD style, const CREATESTRUCTA& create) {
  const DWORD type = style & SS_TYPEMASK;
  const HINSTANCE instance = create.hInstance;
  const char* text = create.lpszName;
  if (!text || !*text) return;
  // A resource ordinal as ANSI window text: 0xFF, then the number's low and high bytes.
  LPCSTR name = text;
  if (static_cast<unsigned char>(text[0]) == 0xFF) {
    const auto low = static_cast<unsigned char>(text[1]);
    const auto high = low ? static_cast<unsigned char>(text[2]) : 0;
    name = MAKEINTRESOURCEA(low | (high << 8));
  }
  const HANDLE image = LoadImageA(instance, name, type == SS_ICON ? IMAGE_ICON : IMAGE_BITMAP, 0, 0,
                                  type == SS_ICON ? LR_DEFAULTSIZE : 0);
  if (!image) return;
  SetWindowLongA(window, kImageOffset, static_cast<LONG>(image));
  if (style & (SS_CENTERIMAGE | SS_REALSIZECONTROL)) return;
  int width = 0, height = 0;
  if (type == SS_ICON) {
    width = GetSystemMetrics(SM_CXICON);
    height = GetSystemMetrics(SM_CYICON);
  } else {
    BITMAP bitmap{};
    if (!GetObjectA(image, sizeof bitmap, &bitmap)) return;
    width = bitmap.bmWidth;
    height = bitmap.bmHeight;
  }
  ResizeWindow(window, width, height);
}

void PaintImage(const ControlPaint& p, HWND window) {
  const auto image = static_cast<HANDLE>(GetWindowLongA(window, kImageOffset));
  if (!image) return;
  const RECT& c = p.client();
  if ((p.style() & SS_TYPEMASK) == SS_ICON) {
    const int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
    const bool centre = (p.style() & SS_CENTERIMAGE) != 0;
    DrawIconEx(p.dc(), centre ? (Width(c) - cx) / 2 : 0, centre ? (Height(c) - cy) / 2 : 0, image,
               cx, cy, 0, 0, DI_NORMAL);
  } else {
    BITMAP bitmap{};
    GetObjectA(image, sizeof bitmap, &bitmap);
    const bool centre = (p.style() & SS_CENTERIMAGE) != 0;
    PaintBitmap(p.dc(), centre ? (Width(c) - bitmap.bmWidth) / 2 : 0,
                centre ? (Height(c) - bitmap.bmHeight) / 2 : 0, 0, 0, image);
  }
}

void Paint(HWND window) {
  ControlPaint p(window);
  if (!p.cr()) return;
  const RECT& c = p.client();
  cairo_t* cr = p.cr();
  const UINT prefix = (p.style() & SS_NOPREFIX) ? DT_NOPREFIX : 0;
  switch (p.style() & SS_TYPEMASK) {
    case SS_ICON:
    case SS_BITMAP:
      PaintImage(p, window);
      break;
    case SS_BLACKRECT:
      FillSysColor(cr, c, COLOR_3DDKSHADOW);
      break;
    case SS_GRAYRECT:
      FillSysColor(cr, c, COLOR_3DSHADOW);
      break;
    case SS_WHITERECT:
      FillSysColor(cr, c, COLOR_3DHILIGHT);
      break;
    case SS_BLACKFRAME:
      FrameSolid(cr, c, GetSysColor(COLOR_3DDKSHADOW));
      break;
    case SS_GRAYFRAME:
      FrameSolid(cr, c, GetSysColor(COLOR_3DSHADOW));
      break;
    case SS_WHITEFRAME:
      FrameSolid(cr, c, GetSysColor(COLOR_3DHILIGHT));
      break;
    case SS_ETCHEDHORZ:
      DrawEdgeRings(cr, {c.left, c.top, c.right, c.top + 2}, EDGE_ETCHED);
      break;
    case SS_ETCHEDVERT:
      DrawEdgeRings(cr, {c.left, c.top, c.left + 2, c.bottom}, EDGE_ETCHED);
      break;
    case SS_ETCHEDFRAME:
      DrawEdgeRings(cr, c, EDGE_ETCHED);
      break;
    case SS_OWNERDRAW:
      break;
    case SS_CENTER:
      DrawTextInRect(cr, p.font(), p.text(), c, DT_CENTER | DT_WORDBREAK | DT_EXPANDTABS | prefix,
                     p.textColor());
      break;
    case SS_RIGHT:
      DrawTextInRect(cr, p.font(), p.text(), c, DT_RIGHT | DT_WORDBREAK | DT_EXPANDTABS | prefix,
                     p.textColor());
      break;
    case SS_SIMPLE:
    case SS_LEFTNOWORDWRAP:
      DrawTextInRect(cr, p.font(), p.text(), c, DT_LEFT | DT_EXPANDTABS | prefix, p.textColor());
      break;
    default:
      DrawTextInRect(cr, p.font(), p.text(), c, DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS | prefix,
                     p.textColor());
  }
}

}  // namespace

LRESULT StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE: {
      // A sunken static gets its edge as a non-client static edge.
      const DWORD style = GetWindowLongA(window, GWL_STYLE);
      if (style & SS_SUNKEN)
        SetWindowLongA(window, GWL_EXSTYLE, GetWindowLongA(window, GWL_EXSTYLE) | WS_EX_STATICEDGE);
      return ControlDefault(window, message, wParam, lParam);
    }
    case WM_CREATE: {
      const DWORD style = GetWindowLongA(window, GWL_STYLE);
      const DWORD type = style & SS_TYPEMASK;
      if ((type == SS_ICON || type == SS_BITMAP) && lParam)
        LoadImageFromText(window, style, *reinterpret_cast<const CREATESTRUCTA*>(lParam));
      return 0;
    }
    case WM_NCDESTROY: {
      const auto image = static_cast<HANDLE>(GetWindowLongA(window, kImageOffset));
      if (image) {
        if ((GetWindowLongA(window, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
          DestroyIcon(image);
        else
          DeleteObject(image);
      }
      return 0;
    }
    case WM_ERASEBKGND:
      return 0;  // the parent's background shows through
    case WM_PAINT:
      Paint(window);
      return 0;
    default:
      return ControlDefault(window, message, wParam, lParam);
  }
}

}  // namespace orvex
