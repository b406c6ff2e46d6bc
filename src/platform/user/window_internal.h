// What the system's window classes, the dialog manager and the painting of frames share
// about windows beyond the platform's functions. Not for other modules.
#pragma once

#include <cairo.h>

#include <memory>
#include <string>
#include <string_view>

#include "platform/user/font.h"
#include "platform/user/window.h"

namespace orvex {

// A registered window class.
struct WindowClass {
  std::string name;
  WNDPROC proc = nullptr;
  HBRUSH background = 0;
  int extraBytes = 0;
  ATOM atom = 0;
};
// The class of that name (without regard to case), or null (window_class.cpp).
std::shared_ptr<const WindowClass> FindWindowClass(std::string_view name);

// Registers one of the system's classes (no check that the system classes exist yet).
ATOM RegisterSystemClass(const WNDCLASSA& windowClass);
// Gives a registered class a new procedure for the windows made after this.
void ReplaceClassProcedure(const char* className, WNDPROC proc);
// Registers every system class once per process (system_classes.cpp).
void EnsureSystemClasses();

// The font set by WM_SETFONT, or 0.
HFONT WindowFontHandle(HWND window);
void SetWindowFontHandle(HWND window, HFONT font);
// The font the window draws its text with: its own, else the system font.
std::shared_ptr<const Font> WindowFont(HWND window);
std::string WindowText(HWND window);
HINSTANCE WindowInstance(HWND window);

// The non-client area's width on each side for these styles (AdjustWindowRectEx's growth,
// plus the scroll bars of WS_VSCROLL and WS_HSCROLL).
RECT NonClientInsets(DWORD style, DWORD exStyle);
// Draws the frame, caption and scroll bars of a window `width` × `height` pixels at the
// context's origin (nonclient_paint.cpp).
void PaintNonClient(cairo_t* context, int width, int height, DWORD style, DWORD exStyle,
                    const std::string& title);

}  // namespace orvex
