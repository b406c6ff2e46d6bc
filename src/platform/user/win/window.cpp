// Windows are the platform's own. Window handles cross as 32-bit values; window procedures
// of classes registered through this layer are entered through one procedure of the
// platform's kind that finds the class's procedure by its atom and converts the handle.
#include "platform/user/window.h"

#include <mutex>
#include <unordered_map>

#include "platform/core/win/pointer_handles.h"
#include "platform/core/win/windows_sdk.h"

namespace orvex {

namespace {

::HWND Real(HWND window) {
  return win::ToReal<::HWND>(window);
}

struct ClassProcedures {
  std::mutex mutex;
  std::unordered_map<::ATOM, WNDPROC> byAtom;
};

ClassProcedures& Procedures() {
  static auto* procedures = new ClassProcedures;
  return *procedures;
}

::LRESULT CALLBACK EnterProcedure(::HWND window, ::UINT message, ::WPARAM wParam, ::LPARAM lParam) {
  const auto atom = static_cast<::ATOM>(::GetClassLongPtrA(window, GCW_ATOM));
  WNDPROC proc = nullptr;
  {
    ClassProcedures& procedures = Procedures();
    std::lock_guard lock(procedures.mutex);
    if (auto it = procedures.byAtom.find(atom); it != procedures.byAtom.end()) proc = it->second;
  }
  if (proc == nullptr) return ::DefWindowProcA(window, message, wParam, lParam);
  return proc(win::FromReal(window), message, wParam, lParam);
}

struct EnumWalk {
  WNDENUMPROC callback;
  LPARAM param;
};

::BOOL CALLBACK OnWindow(::HWND window, ::LPARAM param) {
  auto* walk = reinterpret_cast<EnumWalk*>(param);
  return walk->callback(win::FromReal(window), walk->param);
}

}  // namespace

ATOM RegisterClassA(const WNDCLASSA* windowClass) {
  if (windowClass == nullptr) return 0;
  ::WNDCLASSA real{};
  real.style = windowClass->style;
  real.lpfnWndProc = EnterProcedure;
  real.cbClsExtra = windowClass->cbClsExtra;
  real.cbWndExtra = windowClass->cbWndExtra;
  real.hInstance = static_cast<::HINSTANCE>(win::ModuleHandles().Resolve(windowClass->hInstance));
  real.hIcon = win::ToReal<::HICON>(windowClass->hIcon);
  real.hCursor = win::ToReal<::HCURSOR>(windowClass->hCursor);
  real.hbrBackground = win::ToReal<::HBRUSH>(windowClass->hbrBackground);
  real.lpszMenuName = windowClass->lpszMenuName;
  real.lpszClassName = windowClass->lpszClassName;
  const ::ATOM atom = ::RegisterClassA(&real);
  if (atom != 0) {
    ClassProcedures& procedures = Procedures();
    std::lock_guard lock(procedures.mutex);
    procedures.byAtom[atom] = windowClass->lpfnWndProc;
  }
  return atom;
}

BOOL GetClassInfoA(HINSTANCE instance, LPCSTR className, WNDCLASSA* windowClass) {
  if (windowClass == nullptr) return FALSE;
  ::WNDCLASSEXA real{};
  real.cbSize = sizeof real;
  const auto atom = static_cast<::ATOM>(::GetClassInfoExA(
      static_cast<::HINSTANCE>(win::ModuleHandles().Resolve(instance)), className, &real));
  if (atom == 0) return FALSE;
  *windowClass = WNDCLASSA{};
  windowClass->style = real.style;
  windowClass->cbClsExtra = real.cbClsExtra;
  windowClass->cbWndExtra = real.cbWndExtra;
  windowClass->lpszClassName = className;
  // A class registered through this layer answers with its own procedure; the platform's
  // classes have none that can be called from here.
  ClassProcedures& procedures = Procedures();
  std::lock_guard lock(procedures.mutex);
  if (auto it = procedures.byAtom.find(atom); it != procedures.byAtom.end())
    windowClass->lpfnWndProc = it->second;
  return TRUE;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param) {
  return win::FromReal(
      ::CreateWindowExA(exStyle, className, windowName, style, x, y, width, height, Real(parent),
                        win::ToReal<::HMENU>(menu),
                        static_cast<::HINSTANCE>(win::ModuleHandles().Resolve(instance)), param));
}

BOOL DestroyWindow(HWND window) {
  return ::DestroyWindow(Real(window));
}
BOOL IsWindow(HWND window) {
  return window != 0 && ::IsWindow(Real(window));
}
HWND GetParent(HWND window) {
  return win::FromReal(::GetParent(Real(window)));
}
HWND GetWindow(HWND window, UINT command) {
  return win::FromReal(::GetWindow(Real(window), command));
}
BOOL GetWindowRect(HWND window, RECT* rect) {
  return ::GetWindowRect(Real(window), reinterpret_cast<::RECT*>(rect));
}
BOOL GetClientRect(HWND window, RECT* rect) {
  return ::GetClientRect(Real(window), reinterpret_cast<::RECT*>(rect));
}
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
  return ::MoveWindow(Real(window), x, y, width, height, repaint);
}
BOOL ShowWindow(HWND window, int command) {
  return ::ShowWindow(Real(window), command);
}
BOOL IsWindowVisible(HWND window) {
  return ::IsWindowVisible(Real(window));
}
LONG GetWindowLongA(HWND window, int index) {
  return ::GetWindowLongA(Real(window), index);
}
LONG SetWindowLongA(HWND window, int index, LONG value) {
  return ::SetWindowLongA(Real(window), index, value);
}
LONG_PTR GetWindowLongPtrA(HWND window, int index) {
  return ::GetWindowLongPtrA(Real(window), index);
}
LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value) {
  return ::SetWindowLongPtrA(Real(window), index, value);
}
BOOL SetWindowTextA(HWND window, LPCSTR text) {
  return ::SetWindowTextA(Real(window), text);
}
int GetWindowTextA(HWND window, LPSTR buffer, int size) {
  return ::GetWindowTextA(Real(window), buffer, size);
}
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::SendMessageA(Real(window), message, wParam, lParam);
}
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcA(Real(window), message, wParam, lParam);
}

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase) {
  return ::InvalidateRect(Real(window), reinterpret_cast<const ::RECT*>(rect), erase);
}
BOOL UpdateWindow(HWND window) {
  return ::UpdateWindow(Real(window));
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
  ::PAINTSTRUCT real{};
  ::HDC dc = ::BeginPaint(Real(window), &real);
  if (paint != nullptr) {
    paint->hdc = win::FromReal(real.hdc);
    paint->fErase = real.fErase;
    paint->rcPaint =
        RECT{real.rcPaint.left, real.rcPaint.top, real.rcPaint.right, real.rcPaint.bottom};
  }
  return win::FromReal(dc);
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) {
  ::PAINTSTRUCT real{};
  if (paint != nullptr) {
    real.hdc = win::ToReal<::HDC>(paint->hdc);
    real.fErase = paint->fErase;
    real.rcPaint = ::RECT{paint->rcPaint.left, paint->rcPaint.top, paint->rcPaint.right,
                          paint->rcPaint.bottom};
  }
  return ::EndPaint(Real(window), &real);
}

BOOL ClientToScreen(HWND window, POINT* point) {
  return ::ClientToScreen(Real(window), reinterpret_cast<::POINT*>(point));
}
int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) {
  return ::MapWindowPoints(Real(from), Real(to), reinterpret_cast<::POINT*>(points), count);
}
BOOL EnumChildWindows(HWND parent, WNDENUMPROC callback, LPARAM param) {
  EnumWalk walk{callback, param};
  return ::EnumChildWindows(Real(parent), OnWindow, reinterpret_cast<::LPARAM>(&walk));
}
BOOL EnumWindows(WNDENUMPROC callback, LPARAM param) {
  EnumWalk walk{callback, param};
  return ::EnumWindows(OnWindow, reinterpret_cast<::LPARAM>(&walk));
}
int GetClassNameA(HWND window, LPSTR buffer, int size) {
  return ::GetClassNameA(Real(window), buffer, size);
}
int GetDlgCtrlID(HWND window) {
  return ::GetDlgCtrlID(Real(window));
}
HWND GetDlgItem(HWND dialog, int id) {
  return win::FromReal(::GetDlgItem(Real(dialog), id));
}
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init) {
  if (init == nullptr) return 0;
  ::INITCOMMONCONTROLSEX real{sizeof real, init->dwICC};
  return ::InitCommonControlsEx(&real);
}

}  // namespace orvex
