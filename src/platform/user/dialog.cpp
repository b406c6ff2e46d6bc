#include "platform/user/dialog.h"

#include <map>
#include <mutex>
#include <string>

#include "platform/gdi/dc.h"
#include "platform/gdi/gdi.h"
#include "platform/module/module.h"
#include "platform/module/resource_types.h"
#include "platform/text/text.h"
#include "platform/user/controls.h"
#include "platform/user/dialog_template.h"
#include "platform/user/font.h"
#include "platform/user/window_internal.h"
#include "platform/user/window_metrics.h"

namespace orvex {
namespace {

// The dialog's own fields in its window extra bytes, after the three the platform
// documents (message result, dialog procedure, user data).
constexpr int kFontOffset = 12;
constexpr int kBaseXOffset = 16;
constexpr int kBaseYOffset = 20;

constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

struct BaseUnits {
  int x = 0;
  int y = 0;
};

// Base units of a font as the platform computes them: the average width of the 52 letters
// rounded (half up), and the cell height.
BaseUnits UnitsOf(const Font& font) {
  const int extent = font.TextExtent(kLetters).cx;
  return {(extent / 26 + 1) / 2, font.Metrics().tmHeight};
}

// Dialog procedures by window; a preview has none.
std::mutex& ProcsMutex() {
  static std::mutex mutex;
  return mutex;
}
std::map<HWND, DLGPROC>& Procs() {
  static auto* procs = new std::map<HWND, DLGPROC>;
  return *procs;
}
DLGPROC ProcOf(HWND dialog) {
  std::lock_guard lock(ProcsMutex());
  const auto found = Procs().find(dialog);
  return found == Procs().end() ? nullptr : found->second;
}

// A template string as ANSI window text; an ordinal becomes 0xFF and its two bytes (the
// text ends at a zero byte, as the platform's does).
std::string NameText(const DialogName& name) {
  if (!name.isOrdinal) return UnicodeToAnsi(name.text);
  std::string text{'\xFF', static_cast<char>(name.ordinal & 0xFF),
                   static_cast<char>(name.ordinal >> 8)};
  return text.substr(0, text.find('\0'));
}

// The class of an item: a predefined ordinal's name, or the text given.
std::string ItemClass(const DialogItem& item) {
  if (item.windowClass.isOrdinal) {
    const char16_t* predefined = PredefinedDialogClass(item.windowClass.ordinal);
    return predefined ? UnicodeToAnsi(predefined) : std::string();
  }
  return UnicodeToAnsi(item.windowClass.text);
}

// The dialog's font: the template's when DS_SETFONT names one that loads.
HFONT TemplateFont(const DialogTemplate& t) {
  if (!(t.style & DS_SETFONT) || !t.hasFont) return 0;
  FontRequest request;
  // 0x7FFF asks for the message-box font.
  if (t.font.pointSize == 0x7FFF) {
    request.face = "MS Shell Dlg";
    request.height = HeightForPoints(8);
  } else {
    request.face = UnicodeToAnsi(t.font.face);
    request.height = -MulDiv(t.font.pointSize, 96, 72);
  }
  request.weight = t.font.weight ? t.font.weight : FW_NORMAL;
  request.italic = t.font.italic != 0;
  return CreateFontForRequest(request);
}

HWND Build(HINSTANCE instance, const DialogTemplate& t, HWND parent, DLGPROC proc, LPARAM param) {
  DWORD style = t.style | DS_3DLOOK;
  DWORD exStyle = t.exStyle;
  if (style & DS_MODALFRAME) exStyle |= WS_EX_DLGMODALFRAME;
  if (style & DS_CONTROL) {
    style &= ~(WS_CAPTION | WS_SYSMENU);
    exStyle |= WS_EX_CONTROLPARENT;
  }
  const bool child = (style & WS_CHILD) != 0;
  if (!child) exStyle |= WS_EX_CONTROLPARENT;
  if (child && !IsWindow(parent)) {
    SetLastError(ERROR_TLW_WITH_WSCHILD);
    return 0;
  }
  std::string windowClass = t.windowClass.isOrdinal || t.windowClass.text.empty()
                                ? std::string("#32770")
                                : UnicodeToAnsi(t.windowClass.text);

  const HFONT font = TemplateFont(t);
  BaseUnits units{LOWORD(GetDialogBaseUnits()), HIWORD(GetDialogBaseUnits())};
  if (const auto f = FontOfHandle(font)) units = UnitsOf(*f);

  RECT rect{0, 0, MulDiv(t.cx, units.x, 4), MulDiv(t.cy, units.y, 8)};
  const bool hasMenu = t.menu.isOrdinal || !t.menu.text.empty();
  AdjustWindowRectEx(&rect, style, hasMenu && !child, exStyle);
  POINT pos{MulDiv(t.x, units.x, 4), MulDiv(t.y, units.y, 8)};
  if (!child && !(style & DS_ABSALIGN) && parent) ClientToScreen(parent, &pos);
  pos.x += rect.left;
  pos.y += rect.top;
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (style & DS_CENTER) {
    pos.x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    pos.y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  }

  // Created hidden; shown at the end when the template asks for it.
  const HWND dialog =
      CreateWindowExA(exStyle, windowClass.c_str(), NameText(t.title).c_str(), style & ~WS_VISIBLE,
                      pos.x, pos.y, width, height, parent, 0, instance, nullptr);
  if (!dialog) return 0;
  SetWindowLongA(dialog, kFontOffset, static_cast<LONG>(font));
  SetWindowLongA(dialog, kBaseXOffset, units.x);
  SetWindowLongA(dialog, kBaseYOffset, units.y);
  if (proc) {
    std::lock_guard lock(ProcsMutex());
    Procs()[dialog] = proc;
  }
  if (font) SendMessageA(dialog, WM_SETFONT, static_cast<WPARAM>(font), 0);

  for (const DialogItem& item : t.items) {
    const std::string className = ItemClass(item);
    // Position and size each in dialog units, as the dialog manager maps them.
    const int x = MulDiv(item.x, units.x, 4), y = MulDiv(item.y, units.y, 8);
    const int cx = MulDiv(item.cx, units.x, 4), cy = MulDiv(item.cy, units.y, 8);
    const HWND control =
        CreateWindowExA(item.exStyle | WS_EX_NOPARENTNOTIFY, className.c_str(),
                        NameText(item.title).c_str(), item.style | WS_CHILD, x, y, cx, cy, dialog,
                        t.extended ? item.id : static_cast<WORD>(item.id), instance, nullptr);
    if (!control) {
      if (t.style & DS_NOFAILCREATE) continue;
      const DWORD error = GetLastError();
      DestroyWindow(dialog);
      SetLastError(error);
      return 0;
    }
    if (font) SendMessageA(control, WM_SETFONT, static_cast<WPARAM>(font), 0);
  }
  if (proc) proc(dialog, WM_INITDIALOG, 0, param);
  if (style & WS_VISIBLE) ShowWindow(dialog, SW_SHOWNORMAL);
  return dialog;
}

}  // namespace

LRESULT DialogClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (const DLGPROC proc = ProcOf(window)) {
    if (message != WM_NCDESTROY && proc(window, message, wParam, lParam)) return TRUE;
  }
  switch (message) {
    case WM_ERASEBKGND: {
      cairo_t* cr = CairoOfDC(static_cast<HDC>(wParam));
      RECT client;
      GetClientRect(window, &client);
      if (cr) FillSysColor(cr, client, COLOR_3DFACE);
      return 1;
    }
    case WM_NCDESTROY: {
      std::lock_guard lock(ProcsMutex());
      Procs().erase(window);
      return 0;
    }
    default:
      return ControlDefault(window, message, wParam, lParam);
  }
}

HWND CreateDialogFromTemplate(HINSTANCE instance, Bytes templateBytes, HWND parent, DLGPROC proc,
                              LPARAM param) {
  const Expected<DialogTemplate> parsed = ParseDialogTemplate(templateBytes);
  if (!parsed) {
    SetLastError(ERROR_INVALID_DATA);
    return 0;
  }
  return Build(instance, *parsed, parent, proc, param);
}

HWND CreateDialogParamA(HINSTANCE instance, LPCSTR name, HWND parent, DLGPROC proc, LPARAM param) {
  const auto bytes = FindResourceBytes(instance, name, MAKEINTRESOURCEA(RT_DIALOG));
  if (!bytes) return 0;
  return CreateDialogFromTemplate(instance, *bytes, parent, proc, param);
}

BOOL MapDialogRect(HWND dialog, RECT* rect) {
  if (!rect || !IsWindow(dialog)) return FALSE;
  const int x = GetWindowLongA(dialog, kBaseXOffset), y = GetWindowLongA(dialog, kBaseYOffset);
  if (x == 0 || y == 0) return FALSE;
  rect->left = MulDiv(rect->left, x, 4);
  rect->right = MulDiv(rect->right, x, 4);
  rect->top = MulDiv(rect->top, y, 8);
  rect->bottom = MulDiv(rect->bottom, y, 8);
  return TRUE;
}

LONG GetDialogBaseUnits() {
  static const LONG units = [] {
    const auto font = GetFont(SystemFontRequest());
    const BaseUnits u = font ? UnitsOf(*font) : BaseUnits{8, 16};
    return static_cast<LONG>((u.y << 16) | (u.x & 0xFFFF));
  }();
  return units;
}

}  // namespace orvex
