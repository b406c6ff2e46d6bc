// The ListBox and ComboBox classes: white lists (a list box keeps to whole items unless told
// not to) and combo boxes, whose drop-down kinds take the height of their text field.
#include "platform/gdi/gdi.h"
#include "platform/user/controls.h"
#include "platform/user/window_internal.h"
#include "platform/user/window_metrics.h"

namespace orvex {
namespace {

constexpr DWORD LBS_OWNERDRAWVARIABLE = 0x0020, LBS_NOINTEGRALHEIGHT = 0x0100,
                LBS_DISABLENOSCROLL = 0x1000;
constexpr DWORD CBS_SIMPLE = 0x1, CBS_DROPDOWNLIST = 0x3, CBS_TYPEMASK = 0x3;
constexpr int kComboBorder = 2;  // the combo box's own sunken edge

int ItemHeight(HWND window) {
  return WindowFont(window)->Metrics().tmHeight;
}

// Cuts a list box's client height to whole items, as the list does when it is created and
// when its font changes; a list no taller than one item keeps its height.
void FitWholeItems(HWND window) {
  const DWORD style = GetWindowLongA(window, GWL_STYLE);
  if (style & (LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWVARIABLE)) return;
  RECT client, outer;
  GetClientRect(window, &client);
  GetWindowRect(window, &outer);
  const int item = ItemHeight(window);
  const int height = client.bottom;
  if (item <= 0 || height <= item || height % item == 0) return;
  ResizeWindow(window, Width(outer), Height(outer) - height % item);
}

// The height of a drop-down combo box: its text field (the font's cell and 4 pixels) and
// the edge around it.
void FitDropDown(HWND window) {
  const DWORD style = GetWindowLongA(window, GWL_STYLE);
  if ((style & CBS_TYPEMASK) == CBS_SIMPLE) return;
  RECT outer;
  GetWindowRect(window, &outer);
  ResizeWindow(window, Width(outer), ItemHeight(window) + 4 + 2 * kComboBorder);
}

void PaintListBox(HWND window) {
  ControlPaint p(window);
  if (!p.cr()) return;
  FillSysColor(p.cr(), p.client(), p.enabled() ? COLOR_WINDOW : COLOR_3DFACE);
}

void PaintComboBox(HWND window) {
  ControlPaint p(window);
  if (!p.cr()) return;
  cairo_t* cr = p.cr();
  const RECT& c = p.client();
  const int field = ItemHeight(window) + 4 + 2 * kComboBorder;
  if ((p.style() & CBS_TYPEMASK) == CBS_SIMPLE) {
    // A field above a list, each with its own sunken edge.
    const RECT top{c.left, c.top, c.right, std::min(c.top + field, c.bottom)};
    FillSysColor(cr, DrawEdgeRings(cr, top, EDGE_SUNKEN), COLOR_WINDOW);
    const RECT list{c.left, top.bottom, c.right, c.bottom};
    if (Height(list) > 0) FillSysColor(cr, DrawEdgeRings(cr, list, EDGE_SUNKEN), COLOR_WINDOW);
    return;
  }
  FillSysColor(cr, c, COLOR_3DFACE);
  const RECT inside = DrawEdgeRings(cr, c, EDGE_SUNKEN);
  const int arrow = GetSystemMetrics(SM_CXVSCROLL);
  const RECT button{inside.right - arrow, inside.top, inside.right, inside.bottom};
  const bool list = (p.style() & CBS_TYPEMASK) == CBS_DROPDOWNLIST;
  FillSysColor(cr, {inside.left, inside.top, button.left, inside.bottom},
               p.enabled() || list ? COLOR_WINDOW : COLOR_3DFACE);
  FillSysColor(cr, button, COLOR_3DFACE);
  DrawEdgeRings(cr, button, EDGE_RAISED | BF_SOFT);
  DrawMarlett(cr, button, '6', Height(button) - 6, p.textColor());
}

}  // namespace

LRESULT ListBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE: {
      // A border becomes the sunken client edge; an empty list hides its scroll bars unless
      // asked to keep them disabled.
      DWORD style = GetWindowLongA(window, GWL_STYLE);
      if (style & WS_BORDER) {
        style &= ~WS_BORDER;
        SetWindowLongA(window, GWL_EXSTYLE,
                       GetWindowLongA(window, GWL_EXSTYLE) | static_cast<LONG>(WS_EX_CLIENTEDGE));
      }
      if (!(style & LBS_DISABLENOSCROLL)) style &= ~(WS_VSCROLL | WS_HSCROLL);
      SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(style));
      return ControlDefault(window, message, wParam, lParam);
    }
    case WM_CREATE:
      // Fitted once, with the font it has at creation (the system font in a dialog, whose
      // font comes later): a later font does not fit it again.
      FitWholeItems(window);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      PaintListBox(window);
      return 0;
    default:
      return ControlDefault(window, message, wParam, lParam);
  }
}

LRESULT ComboBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE: {
      // The list's scroll bar belongs to the drop-down list, not to the combo box.
      const DWORD style = GetWindowLongA(window, GWL_STYLE);
      SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(style & ~(WS_VSCROLL | WS_HSCROLL)));
      return ControlDefault(window, message, wParam, lParam);
    }
    case WM_CREATE:
      FitDropDown(window);
      return 0;
    case WM_SETFONT:
      ControlDefault(window, message, wParam, lParam);
      FitDropDown(window);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      PaintComboBox(window);
      return 0;
    default:
      return ControlDefault(window, message, wParam, lParam);
  }
}

}  // namespace orvex
