// The common controls' classes, drawn as far as a preview shows them: list views, tree
// views and rich edits as white fields, progress bars, track bars, up-down buttons, tab
// frames, headers, links and status bars; the others as their background and text.
#include <strings.h>

#include <string>

#include "platform/gdi/gdi.h"
#include "platform/user/controls.h"
#include "platform/user/window_internal.h"
#include "platform/user/window_metrics.h"

namespace orvex {
namespace {

// Class names compare without regard to case, as the platform compares them.
bool Is(const std::string& name, const char* wanted) {
  return strcasecmp(name.c_str(), wanted) == 0;
}

bool IsWhiteField(const std::string& name) {
  return Is(name, "SysListView32") || Is(name, "SysTreeView32") || Is(name, "RichEdit20A") ||
         Is(name, "RichEdit20W") || Is(name, "msctls_hotkey32") || Is(name, "SysIPAddress32") ||
         Is(name, "SysDateTimePick32");
}

// A link's text without its <a> tags.
std::string LinkText(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '<') {
      const size_t close = text.find('>', i);
      if (close != std::string::npos) {
        i = close;
        continue;
      }
    }
    out.push_back(text[i]);
  }
  return out;
}

void Paint(HWND window, const std::string& name) {
  ControlPaint p(window);
  if (!p.cr()) return;
  cairo_t* cr = p.cr();
  const RECT& c = p.client();
  if (IsWhiteField(name)) {
    FillSysColor(cr, c, p.enabled() ? COLOR_WINDOW : COLOR_3DFACE);
    if (Is(name, "RichEdit20A") || Is(name, "RichEdit20W"))
      DrawTextInRect(cr, p.font(), p.text(), {c.left + 1, c.top, c.right - 1, c.bottom},
                     DT_WORDBREAK | DT_NOPREFIX, GetSysColor(COLOR_WINDOWTEXT));
    if (Is(name, "msctls_hotkey32"))
      DrawTextInRect(cr, p.font(), "None", {c.left + 1, c.top, c.right, c.bottom},
                     DT_SINGLELINE | DT_NOPREFIX, GetSysColor(COLOR_WINDOWTEXT));
    if (Is(name, "SysDateTimePick32")) {
      const int arrow = GetSystemMetrics(SM_CXVSCROLL);
      const RECT button{c.right - arrow, c.top, c.right, c.bottom};
      FillSysColor(cr, button, COLOR_3DFACE);
      DrawEdgeRings(cr, button, EDGE_RAISED | BF_SOFT);
      DrawMarlett(cr, button, '6', Height(button) - 6, p.textColor());
    }
    return;
  }
  FillSysColor(cr, c, COLOR_3DFACE);
  if (Is(name, "msctls_trackbar32")) {
    // The channel across the middle and the thumb at its start.
    const int mid = (c.top + c.bottom) / 2;
    DrawEdgeRings(cr, {c.left + 8, mid - 2, c.right - 8, mid + 2}, EDGE_SUNKEN);
    const RECT thumb{c.left + 3, mid - 10, c.left + 14, mid + 10};
    FillSysColor(cr, thumb, COLOR_3DFACE);
    DrawEdgeRings(cr, thumb, EDGE_RAISED | BF_SOFT);
  } else if (Is(name, "msctls_updown32")) {
    const RECT up{c.left, c.top, c.right, c.top + Height(c) / 2};
    const RECT down{c.left, up.bottom, c.right, c.bottom};
    for (const auto& [r, symbol] : {std::pair{up, '5'}, std::pair{down, '6'}}) {
      DrawEdgeRings(cr, r, EDGE_RAISED | BF_SOFT);
      DrawMarlett(cr, r, symbol, std::max(Height(r) - 4, 4), p.textColor());
    }
  } else if (Is(name, "msctls_progress32")) {
    DrawEdgeRings(cr, c, BDR_SUNKENOUTER);
  } else if (Is(name, "SysTabControl32")) {
    DrawEdgeRings(cr, c, EDGE_RAISED | BF_SOFT);
  } else if (Is(name, "SysHeader32") || Is(name, "ComboBoxEx32")) {
    DrawEdgeRings(cr, c, Is(name, "ComboBoxEx32") ? EDGE_SUNKEN : (EDGE_RAISED | BF_SOFT));
  } else if (Is(name, "SysLink")) {
    DrawTextInRect(cr, p.font(), LinkText(p.text()), c, DT_WORDBREAK | DT_NOPREFIX,
                   GetSysColor(COLOR_HOTLIGHT));
  } else if (Is(name, "msctls_statusbar32")) {
    DrawTextInRect(cr, p.font(), p.text(), {c.left + 4, c.top, c.right, c.bottom},
                   DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX, p.textColor());
  }
}

}  // namespace

LRESULT CommonControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE: {
      const std::string name = ClassNameOf(window);
      const DWORD style = GetWindowLongA(window, GWL_STYLE);
      const DWORD exStyle = GetWindowLongA(window, GWL_EXSTYLE);
      // A list view shows its own scroll bars when it needs them.
      if (Is(name, "SysListView32"))
        SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(style & ~(WS_VSCROLL | WS_HSCROLL)));
      // A progress bar draws its own sunken frame instead of a border.
      if (Is(name, "msctls_progress32")) {
        SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(style & ~WS_BORDER));
        SetWindowLongA(window, GWL_EXSTYLE,
                       static_cast<LONG>(exStyle & ~(WS_EX_CLIENTEDGE | WS_EX_WINDOWEDGE)));
      }
      // A tab control keeps its pages' siblings clipped.
      if (Is(name, "SysTabControl32"))
        SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(style | WS_CLIPSIBLINGS));
      return ControlDefault(window, message, wParam, lParam);
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint(window, ClassNameOf(window));
      return 0;
    default:
      return ControlDefault(window, message, wParam, lParam);
  }
}

}  // namespace orvex
