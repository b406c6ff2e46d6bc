// Windows: a table of 32-bit window handles with parents, owners and children in z-order,
// window classes with their procedures, geometry, text, and the messages that drive them.
// The stand-in draws windows into cairo contexts instead of a screen; its captures of them
// are a host-side convenience of their own (window_capture.h).
#pragma once

#include "platform/win32_types.h"

namespace orvex {

using ATOM = WORD;

// The calling convention of WNDPROC, for window procedures written above the platform: on
// 32-bit x86 a window procedure removes its own four arguments.
#if defined(__i386__)
#define ORVEX_WNDPROC_CALL __attribute__((stdcall))
#else
#define ORVEX_WNDPROC_CALL
#endif

inline constexpr DWORD WS_OVERLAPPED = 0x00000000;
inline constexpr DWORD WS_POPUP = 0x80000000;
inline constexpr DWORD WS_CHILD = 0x40000000;
inline constexpr DWORD WS_VISIBLE = 0x10000000;
inline constexpr DWORD WS_DISABLED = 0x08000000;
inline constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
inline constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
inline constexpr DWORD WS_CAPTION = 0x00C00000;
inline constexpr DWORD WS_BORDER = 0x00800000;
inline constexpr DWORD WS_DLGFRAME = 0x00400000;
inline constexpr DWORD WS_VSCROLL = 0x00200000;
inline constexpr DWORD WS_HSCROLL = 0x00100000;
inline constexpr DWORD WS_SYSMENU = 0x00080000;
inline constexpr DWORD WS_THICKFRAME = 0x00040000;
inline constexpr DWORD WS_GROUP = 0x00020000;
inline constexpr DWORD WS_TABSTOP = 0x00010000;
inline constexpr DWORD WS_EX_DLGMODALFRAME = 0x00000001;
inline constexpr DWORD WS_EX_NOPARENTNOTIFY = 0x00000004;
inline constexpr DWORD WS_EX_TRANSPARENT = 0x00000020;
inline constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080;
inline constexpr DWORD WS_EX_WINDOWEDGE = 0x00000100;
inline constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;
inline constexpr DWORD WS_EX_CONTROLPARENT = 0x00010000;
inline constexpr DWORD WS_EX_STATICEDGE = 0x00020000;

inline constexpr UINT WM_CREATE = 0x0001;
inline constexpr UINT WM_DESTROY = 0x0002;
inline constexpr UINT WM_SETTEXT = 0x000C;
inline constexpr UINT WM_GETTEXT = 0x000D;
inline constexpr UINT WM_GETTEXTLENGTH = 0x000E;
inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr UINT WM_ERASEBKGND = 0x0014;
inline constexpr UINT WM_SETFONT = 0x0030;
inline constexpr UINT WM_GETFONT = 0x0031;
inline constexpr UINT WM_NCCREATE = 0x0081;
inline constexpr UINT WM_NCDESTROY = 0x0082;

inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOW = 5;

inline constexpr int GWL_STYLE = -16;
inline constexpr int GWL_EXSTYLE = -20;
inline constexpr int GWL_ID = -12;
inline constexpr int GWLP_USERDATA = -21;
inline constexpr int GWLP_HINSTANCE = -6;

inline constexpr UINT GW_HWNDNEXT = 2;
inline constexpr UINT GW_OWNER = 4;
inline constexpr UINT GW_CHILD = 5;

inline constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;
inline constexpr DWORD ERROR_CANNOT_FIND_WND_CLASS = 1407;
inline constexpr DWORD ERROR_CLASS_ALREADY_EXISTS = 1410;
inline constexpr DWORD ERROR_CLASS_DOES_NOT_EXIST = 1411;
inline constexpr DWORD ERROR_INVALID_INDEX = 1413;
inline constexpr DWORD ERROR_CONTROL_ID_NOT_FOUND = 1421;

using WNDENUMPROC = BOOL (*)(HWND, LPARAM);

struct WNDCLASSA {
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;  // a system colour index + 1, or 0 for none
  LPCSTR lpszMenuName;
  LPCSTR lpszClassName;
};

struct CREATESTRUCTA {
  LPVOID lpCreateParams;
  HINSTANCE hInstance;
  HMENU hMenu;
  HWND hwndParent;
  int cy;
  int cx;
  int y;
  int x;
  LONG style;
  LPCSTR lpszName;
  LPCSTR lpszClass;
  DWORD dwExStyle;
};

struct PAINTSTRUCT {
  HDC hdc;
  BOOL fErase;
  RECT rcPaint;
};

// Registers a class by name (without regard to case); 0 when the name is taken. The system's
// classes (the dialog class "#32770", the predefined controls and the common controls) are
// registered before the first window is made, as a process with the common-control library
// loaded has them.
ATOM RegisterClassA(const WNDCLASSA* windowClass);
// Whether a class of that name is registered (the system's classes included), and what it
// was registered with: procedure, window extra bytes and background (lpszClassName is the
// name asked for). FALSE with ERROR_CLASS_DOES_NOT_EXIST when it is not.
BOOL GetClassInfoA(HINSTANCE instance, LPCSTR className, WNDCLASSA* windowClass);
// A window of a registered class: a child of `parent` (WS_CHILD; position in the parent's
// client area) or a top-level window owned by `parent` (position on the screen). 0 with
// ERROR_CANNOT_FIND_WND_CLASS for an unknown class, or when WM_NCCREATE / WM_CREATE refuse.
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param);
// Destroys the window, its owned windows and its children (children first).
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);
// The parent of a child window, the owner of a pop-up window, 0 for an overlapped one.
HWND GetParent(HWND window);
HWND GetWindow(HWND window, UINT command);
// The window's outer rectangle on the screen.
BOOL GetWindowRect(HWND window, RECT* rect);
// The client area's size, at (0, 0).
BOOL GetClientRect(HWND window, RECT* rect);
// Places a child in its parent's client area, a top-level window on the screen.
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
// Returns whether the window was visible before.
BOOL ShowWindow(HWND window, int command);
BOOL IsWindowVisible(HWND window);
// GWL_STYLE, GWL_EXSTYLE, GWL_ID, or a LONG at a byte offset of the class's window extra
// bytes (0 and ERROR_INVALID_INDEX past them).
LONG GetWindowLongA(HWND window, int index);
// As GetWindowLongA's indexes; returns the previous value.
LONG SetWindowLongA(HWND window, int index, LONG value);
LONG_PTR GetWindowLongPtrA(HWND window, int index);
LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value);
BOOL SetWindowTextA(HWND window, LPCSTR text);
int GetWindowTextA(HWND window, LPSTR buffer, int size);
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// What a window does with a message its procedure leaves: text, background, painting.
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Marks the client area (or `rect` of it) for repainting; UpdateWindow then sends WM_PAINT
// when part of it is marked. The stand-in paints windows whole whenever they are captured,
// so for it both only check the handle.
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
BOOL UpdateWindow(HWND window);
// Inside WM_PAINT: the context to draw the client area into.
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
BOOL ClientToScreen(HWND window, POINT* point);
// Converts points from one window's client coordinates to another's (0 is the screen).
int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count);
// Calls `callback` for every descendant, children before their own children, bottom to top,
// until it returns FALSE.
BOOL EnumChildWindows(HWND parent, WNDENUMPROC callback, LPARAM param);
// Calls `callback` for every top-level window, topmost first, until it returns FALSE.
BOOL EnumWindows(WNDENUMPROC callback, LPARAM param);
int GetClassNameA(HWND window, LPSTR buffer, int size);
int GetDlgCtrlID(HWND window);
HWND GetDlgItem(HWND dialog, int id);
// Registers the common controls' classes (they are registered from the start); TRUE.
struct INITCOMMONCONTROLSEX {
  DWORD dwSize;
  DWORD dwICC;
};
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init);

}  // namespace orvex
