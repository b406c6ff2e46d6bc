#include "platform/user/window.h"
#include "platform/user/window_capture.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/handle_table.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi.h"
#include "platform/user/draw.h"
#include "platform/user/window_internal.h"
#include "platform/user/window_metrics.h"

namespace orvex {
namespace {

struct Window {
  std::shared_ptr<const WindowClass> windowClass;
  DWORD style = 0;
  DWORD exStyle = 0;
  LONG id = 0;
  LONG_PTR userData = 0;
  HINSTANCE instance = 0;
  HFONT font = 0;
  std::vector<uint8_t> extra;  // the class's window extra bytes
  std::string text;
  HWND parent = 0;             // WS_CHILD windows
  HWND owner = 0;              // top-level windows
  RECT rect{};                 // in the parent's client area, or on the screen
  std::vector<HWND> children;  // bottom to top
};

HandleTable<Window>& Windows() {
  static auto* table = new HandleTable<Window>(HandleKind::Window);
  return *table;
}

RECT Insets(const Window& w) {
  return NonClientInsets(w.style, w.exStyle);
}

// The top-left corner of the window's client area on the screen.
POINT ClientOrigin(HWND handle) {
  POINT origin{0, 0};
  for (auto w = Windows().Find(handle); w; w = Windows().Find(w->parent)) {
    const RECT insets = Insets(*w);
    origin.x += w->rect.left + insets.left;
    origin.y += w->rect.top + insets.top;
    if (!(w->style & WS_CHILD)) break;
  }
  return origin;
}

// The paint context of the window being painted on this thread.
thread_local HDC currentPaintDc = 0;

void DestroyTree(HWND handle) {
  const auto window = Windows().Find(handle);
  if (!window) return;
  for (HWND child : std::vector<HWND>(window->children)) DestroyTree(child);
  SendMessageA(handle, WM_DESTROY, 0, 0);
  SendMessageA(handle, WM_NCDESTROY, 0, 0);
  if (auto parent = Windows().Find(window->parent)) {
    auto& siblings = parent->children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), handle), siblings.end());
  }
  Windows().Remove(handle);
}

// Top-level windows by creation, for owned windows and their destruction.
std::mutex& TopLevelMutex() {
  static std::mutex mutex;
  return mutex;
}
std::vector<HWND>& TopLevel() {
  static auto* list = new std::vector<HWND>;
  return *list;
}

void PaintOne(HWND handle, cairo_t* cr) {
  const auto w = Windows().Find(handle);
  if (!w || !(w->style & WS_VISIBLE)) return;
  const RECT insets = Insets(*w);
  cairo_save(cr);
  PaintNonClient(cr, Width(w->rect), Height(w->rect), w->style, w->exStyle, w->text);
  cairo_translate(cr, insets.left, insets.top);
  cairo_rectangle(cr, 0, 0, std::max(Width(w->rect) - insets.left - insets.right, 0),
                  std::max(Height(w->rect) - insets.top - insets.bottom, 0));
  cairo_clip(cr);
  const HDC dc = CreateDCForCairo(cr);
  SendMessageA(handle, WM_ERASEBKGND, static_cast<WPARAM>(dc), 0);
  const HDC outer = currentPaintDc;
  currentPaintDc = dc;
  SendMessageA(handle, WM_PAINT, 0, 0);
  currentPaintDc = outer;
  DeleteDC(dc);
  for (HWND child : std::vector<HWND>(w->children)) {
    const auto c = Windows().Find(child);
    if (!c) continue;
    cairo_save(cr);
    cairo_translate(cr, c->rect.left, c->rect.top);
    PaintOne(child, cr);
    cairo_restore(cr);
  }
  cairo_restore(cr);
}

}  // namespace

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param) {
  EnsureSystemClasses();
  auto windowClass = className ? FindWindowClass(className) : nullptr;
  if (!windowClass) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return 0;
  }
  const bool child = (style & WS_CHILD) != 0;
  if (child && !Windows().Find(parent)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  // The platform's corrections: top-level windows clip their siblings, and the window edge
  // goes with a dialog frame or a sizing frame.
  if (!child) style |= WS_CLIPSIBLINGS;
  if ((exStyle & WS_EX_DLGMODALFRAME) ||
      (!(exStyle & WS_EX_STATICEDGE) && (style & (WS_DLGFRAME | WS_THICKFRAME))))
    exStyle |= WS_EX_WINDOWEDGE;
  else
    exStyle &= ~WS_EX_WINDOWEDGE;
  auto window = std::make_shared<Window>();
  window->windowClass = windowClass;
  window->style = style;
  window->exStyle = exStyle;
  window->id = child ? static_cast<LONG>(menu) : 0;
  window->text = windowName ? windowName : "";
  window->instance = instance;
  window->extra.assign(static_cast<size_t>(windowClass->extraBytes), 0);
  window->rect = {x, y, x + std::max(width, 0), y + std::max(height, 0)};
  if (child) {
    window->parent = parent;
  } else if (parent) {
    // A top-level window is owned by the top-level ancestor of the window named.
    HWND top = parent;
    for (auto w = Windows().Find(top); w && (w->style & WS_CHILD); w = Windows().Find(top))
      top = w->parent;
    window->owner = top;
  }
  const HWND handle = Windows().Add(window);
  if (!handle) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  if (child) {
    if (const auto parentWindow = Windows().Find(parent)) parentWindow->children.push_back(handle);
  } else {
    std::lock_guard lock(TopLevelMutex());
    TopLevel().push_back(handle);
  }
  CREATESTRUCTA create{
      param,      instance,  menu,   parent, height, width, y, x, static_cast<LONG>(style),
      windowName, className, exStyle};
  const LPARAM lp = reinterpret_cast<LPARAM>(&create);
  if (!SendMessageA(handle, WM_NCCREATE, 0, lp) || SendMessageA(handle, WM_CREATE, 0, lp) == -1) {
    DestroyWindow(handle);
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return 0;
  }
  return handle;
}

BOOL DestroyWindow(HWND handle) {
  if (!Windows().Find(handle)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  std::vector<HWND> owned;
  {
    std::lock_guard lock(TopLevelMutex());
    for (HWND top : TopLevel()) {
      const auto w = Windows().Find(top);
      if (w && w->owner == handle) owned.push_back(top);
    }
    auto& list = TopLevel();
    list.erase(std::remove(list.begin(), list.end(), handle), list.end());
  }
  for (HWND w : owned) DestroyWindow(w);
  DestroyTree(handle);
  return TRUE;
}

BOOL IsWindow(HWND handle) {
  return Windows().Find(handle) ? TRUE : FALSE;
}

HWND GetParent(HWND handle) {
  const auto w = Windows().Find(handle);
  if (!w) return 0;
  if (w->style & WS_CHILD) return w->parent;
  return (w->style & WS_POPUP) ? w->owner : 0;
}

HWND GetWindow(HWND handle, UINT command) {
  const auto w = Windows().Find(handle);
  if (!w) return 0;
  switch (command) {
    case GW_OWNER:
      return w->owner;
    case GW_CHILD:
      return w->children.empty() ? 0 : w->children.front();
    case GW_HWNDNEXT: {
      const auto p = Windows().Find(w->parent);
      if (!p) return 0;
      const auto at = std::find(p->children.begin(), p->children.end(), handle);
      return at == p->children.end() || at + 1 == p->children.end() ? 0 : *(at + 1);
    }
    default:
      return 0;
  }
}

BOOL GetWindowRect(HWND handle, RECT* rect) {
  const auto w = Windows().Find(handle);
  if (!w || !rect) return FALSE;
  POINT origin{0, 0};
  if (w->style & WS_CHILD) origin = ClientOrigin(w->parent);
  *rect = {origin.x + w->rect.left, origin.y + w->rect.top, origin.x + w->rect.right,
           origin.y + w->rect.bottom};
  return TRUE;
}

BOOL GetClientRect(HWND handle, RECT* rect) {
  const auto w = Windows().Find(handle);
  if (!w || !rect) return FALSE;
  const RECT insets = Insets(*w);
  *rect = {0, 0, std::max(Width(w->rect) - insets.left - insets.right, 0),
           std::max(Height(w->rect) - insets.top - insets.bottom, 0)};
  return TRUE;
}

BOOL MoveWindow(HWND handle, int x, int y, int width, int height, BOOL) {
  const auto w = Windows().Find(handle);
  if (!w) return FALSE;
  w->rect = {x, y, x + std::max(width, 0), y + std::max(height, 0)};
  return TRUE;
}

BOOL ShowWindow(HWND handle, int command) {
  const auto w = Windows().Find(handle);
  if (!w) return FALSE;
  const BOOL was = (w->style & WS_VISIBLE) ? TRUE : FALSE;
  if (command == SW_HIDE)
    w->style &= ~WS_VISIBLE;
  else
    w->style |= WS_VISIBLE;
  return was;
}

BOOL IsWindowVisible(HWND handle) {
  for (auto w = Windows().Find(handle); w; w = Windows().Find(w->parent)) {
    if (!(w->style & WS_VISIBLE)) return FALSE;
    if (!(w->style & WS_CHILD)) return TRUE;
  }
  return FALSE;
}

LONG GetWindowLongA(HWND handle, int index) {
  const auto w = Windows().Find(handle);
  if (!w) return 0;
  if (index >= 0) {
    if (static_cast<size_t>(index) + sizeof(LONG) > w->extra.size()) {
      SetLastError(ERROR_INVALID_INDEX);
      return 0;
    }
    LONG value;
    std::memcpy(&value, w->extra.data() + index, sizeof value);
    return value;
  }
  switch (index) {
    case GWL_STYLE:
      return static_cast<LONG>(w->style);
    case GWL_EXSTYLE:
      return static_cast<LONG>(w->exStyle);
    case GWL_ID:
      return w->id;
    default:
      return 0;
  }
}

LONG SetWindowLongA(HWND handle, int index, LONG value) {
  const auto w = Windows().Find(handle);
  if (!w) return 0;
  const LONG previous = GetWindowLongA(handle, index);
  if (index >= 0) {
    if (static_cast<size_t>(index) + sizeof(LONG) > w->extra.size()) return 0;
    std::memcpy(w->extra.data() + index, &value, sizeof value);
    return previous;
  }
  switch (index) {
    case GWL_STYLE:
      w->style = static_cast<DWORD>(value);
      break;
    case GWL_EXSTYLE:
      w->exStyle = static_cast<DWORD>(value);
      break;
    case GWL_ID:
      w->id = value;
      break;
    default:
      return 0;
  }
  return previous;
}

LONG_PTR GetWindowLongPtrA(HWND handle, int index) {
  const auto w = Windows().Find(handle);
  if (!w) return 0;
  if (index == GWLP_USERDATA) return w->userData;
  if (index == GWLP_HINSTANCE) return static_cast<LONG_PTR>(w->instance);
  return GetWindowLongA(handle, index);
}

LONG_PTR SetWindowLongPtrA(HWND handle, int index, LONG_PTR value) {
  const auto w = Windows().Find(handle);
  if (!w || index != GWLP_USERDATA) return 0;
  return std::exchange(w->userData, value);
}

BOOL SetWindowTextA(HWND handle, LPCSTR text) {
  return SendMessageA(handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) ? TRUE
                                                                                         : FALSE;
}

int GetWindowTextA(HWND handle, LPSTR buffer, int size) {
  return static_cast<int>(SendMessageA(handle, WM_GETTEXT, static_cast<WPARAM>(size),
                                       reinterpret_cast<LPARAM>(buffer)));
}

LRESULT SendMessageA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto w = Windows().Find(handle);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (w->windowClass->proc) return w->windowClass->proc(handle, message, wParam, lParam);
  return DefWindowProcA(handle, message, wParam, lParam);
}

LRESULT DefWindowProcA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto w = Windows().Find(handle);
  if (!w) return 0;
  switch (message) {
    case WM_NCCREATE:
      return TRUE;
    case WM_SETTEXT:
      w->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
      return TRUE;
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(w->text.size());
    case WM_GETTEXT: {
      auto* buffer = reinterpret_cast<char*>(lParam);
      if (!buffer || wParam == 0) return 0;
      const size_t n = std::min<size_t>(w->text.size(), wParam - 1);
      std::memcpy(buffer, w->text.data(), n);
      buffer[n] = '\0';
      return static_cast<LRESULT>(n);
    }
    case WM_ERASEBKGND: {
      cairo_t* cr = CairoOfDC(static_cast<HDC>(wParam));
      if (!cr || w->windowClass->background == 0) return 0;
      SetSourceColor(cr, GetSysColor(static_cast<int>(w->windowClass->background) - 1));
      cairo_paint(cr);
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(handle, &paint);
      EndPaint(handle, &paint);
      return 0;
    }
    default:
      return 0;
  }
}

BOOL InvalidateRect(HWND handle, const RECT*, BOOL) {
  if (Windows().Find(handle)) return TRUE;
  SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return FALSE;
}

BOOL UpdateWindow(HWND handle) {
  return InvalidateRect(handle, nullptr, FALSE);
}

HDC BeginPaint(HWND handle, PAINTSTRUCT* paint) {
  if (!paint) return 0;
  *paint = {};
  paint->hdc = currentPaintDc;
  GetClientRect(handle, &paint->rcPaint);
  return currentPaintDc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT*) {
  return TRUE;
}

BOOL ClientToScreen(HWND handle, POINT* point) {
  if (!Windows().Find(handle) || !point) return FALSE;
  const POINT origin = ClientOrigin(handle);
  point->x += origin.x;
  point->y += origin.y;
  return TRUE;
}

int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) {
  if ((from && !Windows().Find(from)) || (to && !Windows().Find(to))) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  const POINT a = from ? ClientOrigin(from) : POINT{0, 0};
  const POINT b = to ? ClientOrigin(to) : POINT{0, 0};
  const LONG dx = a.x - b.x, dy = a.y - b.y;
  for (UINT i = 0; points && i < count; ++i) {
    points[i].x += dx;
    points[i].y += dy;
  }
  return static_cast<int>((dy << 16) | (dx & 0xFFFF));
}

namespace {
bool EnumDescendants(HWND parent, WNDENUMPROC callback, LPARAM param) {
  const auto w = Windows().Find(parent);
  if (!w) return true;
  for (HWND child : std::vector<HWND>(w->children)) {
    if (!callback(child, param)) return false;
    if (!EnumDescendants(child, callback, param)) return false;
  }
  return true;
}
}  // namespace

BOOL EnumChildWindows(HWND parent, WNDENUMPROC callback, LPARAM param) {
  if (!callback) return FALSE;
  return EnumDescendants(parent, callback, param) ? TRUE : FALSE;
}

int GetClassNameA(HWND handle, LPSTR buffer, int size) {
  const auto w = Windows().Find(handle);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (!buffer || size <= 0) return 0;
  const size_t n = std::min(w->windowClass->name.size(), static_cast<size_t>(size - 1));
  std::memcpy(buffer, w->windowClass->name.data(), n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

int GetDlgCtrlID(HWND handle) {
  const auto w = Windows().Find(handle);
  return w && (w->style & WS_CHILD) ? static_cast<int>(w->id) : 0;
}

HWND GetDlgItem(HWND dialog, int id) {
  const auto w = Windows().Find(dialog);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  for (HWND child : std::vector<HWND>(w->children)) {
    if (GetDlgCtrlID(child) == id) return child;
  }
  SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
  return 0;
}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init) {
  if (!init || init->dwSize != sizeof(INITCOMMONCONTROLSEX)) return FALSE;
  EnsureSystemClasses();
  return TRUE;
}

HFONT WindowFontHandle(HWND handle) {
  const auto w = Windows().Find(handle);
  return w ? w->font : 0;
}

void SetWindowFontHandle(HWND handle, HFONT font) {
  if (const auto w = Windows().Find(handle)) w->font = font;
}

std::shared_ptr<const Font> WindowFont(HWND handle) {
  if (auto font = FontOfHandle(WindowFontHandle(handle))) return font;
  return GetFont(SystemFontRequest());
}

std::string WindowText(HWND handle) {
  const auto w = Windows().Find(handle);
  return w ? w->text : std::string();
}

HINSTANCE WindowInstance(HWND handle) {
  const auto w = Windows().Find(handle);
  return w ? w->instance : 0;
}

RECT NonClientInsets(DWORD style, DWORD exStyle) {
  RECT r{0, 0, 0, 0};
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  RECT insets{-r.left, -r.top, r.right, r.bottom};
  if (style & WS_VSCROLL) insets.right += GetSystemMetrics(SM_CXVSCROLL);
  if (style & WS_HSCROLL) insets.bottom += GetSystemMetrics(SM_CYHSCROLL);
  return insets;
}

void PaintWindowTree(HWND handle, cairo_t* context) {
  PaintOne(handle, context);
}

BOOL EnumWindows(WNDENUMPROC callback, LPARAM param) {
  if (!callback) return FALSE;
  std::vector<HWND> windows;
  {
    std::lock_guard lock(TopLevelMutex());
    windows.assign(TopLevel().rbegin(), TopLevel().rend());  // topmost first
  }
  for (HWND w : windows) {
    if (IsWindow(w) && !callback(w, param)) break;
  }
  return TRUE;
}

}  // namespace orvex
