// The window procedures of the system's classes and what they share. Not for other modules.
#pragma once

#include <cairo.h>

#include <memory>
#include <string>

#include "platform/user/draw.h"
#include "platform/user/font.h"
#include "platform/user/window.h"

namespace orvex {

LRESULT ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ListBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ComboBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ScrollBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CommonControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DialogClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// What every control does with the messages it does not treat itself: keeps the font of
// WM_SETFONT and answers WM_GETFONT, then DefWindowProcA.
LRESULT ControlDefault(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// A WM_PAINT in progress: the client area's context, size and font; ends the paint when
// it goes.
class ControlPaint {
 public:
  explicit ControlPaint(HWND window);
  ~ControlPaint();
  ControlPaint(const ControlPaint&) = delete;
  ControlPaint& operator=(const ControlPaint&) = delete;

  cairo_t* cr() const { return cr_; }
  HDC dc() const { return paint_.hdc; }
  const RECT& client() const { return client_; }
  const Font& font() const { return *font_; }
  DWORD style() const { return style_; }
  const std::string& text() const { return text_; }
  bool enabled() const { return !(style_ & WS_DISABLED); }
  // The colour of text: the button text colour, or the grey of disabled text.
  COLORREF textColor() const;

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  cairo_t* cr_ = nullptr;
  RECT client_{};
  std::shared_ptr<const Font> font_;
  DWORD style_ = 0;
  std::string text_;
};

// Changes the window's size, keeping its top-left corner.
void ResizeWindow(HWND window, int width, int height);
// The class name of a window, for procedures that serve several classes.
std::string ClassNameOf(HWND window);

}  // namespace orvex
