// The Button class: push buttons (the default one framed), check boxes, radio buttons and
// group boxes, drawn in the classic look; BM_GETCHECK / BM_SETCHECK keep the check state.
#include <algorithm>
#include <string_view>

#include "platform/gdi/gdi.h"
#include "platform/user/controls.h"
#include "platform/user/window_internal.h"

namespace orvex {
namespace {

constexpr UINT BM_GETCHECK = 0x00F0;
constexpr UINT BM_SETCHECK = 0x00F1;
constexpr DWORD BS_TYPEMASK = 0x0F, BS_DEFPUSHBUTTON = 0x01, BS_CHECKBOX = 0x02,
                BS_AUTOCHECKBOX = 0x03, BS_RADIOBUTTON = 0x04, BS_3STATE = 0x05,
                BS_AUTO3STATE = 0x06, BS_GROUPBOX = 0x07, BS_AUTORADIOBUTTON = 0x09,
                BS_OWNERDRAW = 0x0B, BS_LEFTTEXT = 0x20, BS_LEFT = 0x100, BS_RIGHT = 0x200,
                BS_CENTER = 0x300, BS_TOP = 0x400, BS_BOTTOM = 0x800, BS_VCENTER = 0xC00,
                BS_PUSHLIKE = 0x1000, BS_MULTILINE = 0x2000;
constexpr int kStateOffset = 0;  // the check state, in the window's extra bytes
constexpr int kCheckSize = 13;   // check boxes and radio buttons at 96 dpi

UINT TextFormat(DWORD style, UINT horizontal) {
  UINT format = (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
  switch (style & BS_CENTER) {
    case BS_LEFT:
      format |= DT_LEFT;
      break;
    case BS_RIGHT:
      format |= DT_RIGHT;
      break;
    case BS_CENTER:
      format |= DT_CENTER;
      break;
    default:
      format |= horizontal;
  }
  switch (style & BS_VCENTER) {
    case BS_TOP:
      break;
    case BS_BOTTOM:
      format |= DT_BOTTOM;
      break;
    default:
      format |= DT_VCENTER;
  }
  return format;
}

void PaintPushButton(const ControlPaint& p, bool pushed) {
  RECT r = p.client();
  FillSysColor(p.cr(), r, COLOR_3DFACE);
  if ((p.style() & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
    FrameSolid(p.cr(), r, GetSysColor(COLOR_WINDOWFRAME));
    r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
  }
  DrawEdgeRings(p.cr(), r, pushed ? EDGE_SUNKEN : (EDGE_RAISED | BF_SOFT));
  const RECT text{r.left + 2, r.top + 2, r.right - 2, r.bottom - 2};
  DrawTextInRect(p.cr(), p.font(), p.text(), text, TextFormat(p.style(), DT_CENTER), p.textColor());
}

void PaintCheckBox(const ControlPaint& p, bool radio, int state) {
  const RECT& c = p.client();
  FillSysColor(p.cr(), c, COLOR_3DFACE);
  const bool leftText = (p.style() & BS_LEFTTEXT) != 0;
  // Centred in the client area less a pixel above and below (the focus frame's).
  const int top = c.top + std::max((c.bottom - c.top - kCheckSize - 2) / 2, 0) + (radio ? 1 : 0);
  const int left = leftText ? c.right - kCheckSize : c.left;
  const RECT box{left, top, left + kCheckSize, top + kCheckSize};
  cairo_t* cr = p.cr();
  if (radio) {
    // Marlett's parts of a radio button: the disc, then its four arcs, then the dot.
    const auto marlett = GetFont(FontRequest{"Marlett", -kCheckSize, FW_NORMAL, false});
    if (marlett) {
      const struct {
        char symbol;
        int color;
      } parts[] = {{'n', p.enabled() ? COLOR_WINDOW : COLOR_3DFACE},
                   {'j', COLOR_3DSHADOW},
                   {'k', COLOR_3DHILIGHT},
                   {'l', COLOR_3DDKSHADOW},
                   {'m', COLOR_3DLIGHT}};
      for (const auto& part : parts) {
        SetSourceColor(cr, GetSysColor(part.color));
        marlett->Draw(cr, box.left, box.top, std::string_view(&part.symbol, 1));
      }
      if (state) {
        SetSourceColor(cr, p.textColor());
        marlett->Draw(cr, box.left, box.top, "i");
      }
    }
  } else {
    const RECT inside = DrawEdgeRings(cr, box, EDGE_SUNKEN);
    FillSysColor(cr, inside, p.enabled() && state != 2 ? COLOR_WINDOW : COLOR_3DFACE);
    if (state) DrawMarlett(cr, inside, 'a', kCheckSize - 4, p.textColor());
  }
  const RECT text = leftText ? RECT{c.left, c.top, box.left - 4, c.bottom}
                             : RECT{box.right + 4, c.top, c.right, c.bottom};
  DrawTextInRect(cr, p.font(), p.text(), text, TextFormat(p.style(), DT_LEFT), p.textColor());
}

void PaintGroupBox(const ControlPaint& p) {
  const RECT& c = p.client();
  const int height = p.font().Metrics().tmHeight;
  cairo_t* cr = p.cr();
  DrawEdgeRings(cr, {c.left, c.top + height / 2, c.right, c.bottom}, EDGE_ETCHED);
  if (p.text().empty()) return;
  const int width = PrefixedTextWidth(p.font(), p.text());
  int x = c.left + 8;
  if ((p.style() & BS_CENTER) == BS_CENTER) x = c.left + (c.right - c.left - width) / 2;
  if ((p.style() & BS_CENTER) == BS_RIGHT) x = c.right - 8 - width;
  const RECT label{x - 2, c.top, x + width + 2, c.top + height};
  FillSysColor(cr, label, COLOR_3DFACE);
  DrawTextInRect(cr, p.font(), p.text(), {x, c.top, x + width, c.top + height}, DT_SINGLELINE,
                 p.textColor());
}

}  // namespace

LRESULT ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case BM_GETCHECK:
      return GetWindowLongA(window, kStateOffset);
    case BM_SETCHECK:
      SetWindowLongA(window, kStateOffset, static_cast<LONG>(wParam));
      return 0;
    case WM_ERASEBKGND:
      return 1;  // painted whole in WM_PAINT
    case WM_PAINT: {
      ControlPaint p(window);
      if (!p.cr()) return 0;
      const int state = GetWindowLongA(window, kStateOffset);
      switch (p.style() & BS_TYPEMASK) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
          if (p.style() & BS_PUSHLIKE)
            PaintPushButton(p, state != 0);
          else
            PaintCheckBox(p, false, state);
          break;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
          if (p.style() & BS_PUSHLIKE)
            PaintPushButton(p, state != 0);
          else
            PaintCheckBox(p, true, state);
          break;
        case BS_GROUPBOX:
          PaintGroupBox(p);
          break;
        case BS_OWNERDRAW:
          break;  // drawn by its owner, which a preview does not have
        default:
          PaintPushButton(p, false);
      }
      return 0;
    }
    default:
      return ControlDefault(window, message, wParam, lParam);
  }
}

}  // namespace orvex
