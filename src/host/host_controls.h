// What the host kit's form, picture box and text box share: their window classes, the
// controls' font and text drawing, and twips arithmetic. Not for other modules.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/ole/class_registry.h"
#include "platform/ole/dispatch.h"
#include "platform/ole/picture.h"
#include "platform/user/window.h"

namespace orvex::host_kit {

inline constexpr char kFormClass[] = "Orvex10HostForm";
inline constexpr char kPictureBoxClass[] = "Orvex10HostPictureBox";
inline constexpr char kTextBoxClass[] = "Orvex10HostTextBox";

// The controls' default font: MS Sans Serif 8 pt (its em height in pixels at the screen's
// resolution), and the height of one of its lines.
HFONT ControlFont();
int ControlLineHeight();
// One line of text in black with its top-left corner at (x, y).
void DrawLine(HDC dc, int x, int y, std::u16string_view text);
// A picture at (x, y), cx × cy (its own size when either is 0), drawn from its handle.
void DrawPicture(HDC dc, IPicture* picture, int x, int y, int cx, int cy);
// Drawing is kept and painted on WM_PAINT: a change asks for a repaint now.
void Repaint(HWND window);

double TwipsPerPixel();
double Number(const VARIANT& value);
bool Missing(const VARIANT& value);
// The lines of a text whose lines end in CR LF; the part after the last CR LF is a line too
// (empty when the text ends in one).
std::vector<std::u16string_view> Lines(std::u16string_view text);
int Pixels(double twips);
// Twips per unit of a scale mode; an unknown mode raises Err::InvalidProcedureCall.
double TwipsPer(int32_t mode, bool vertical);

// Registers the three window classes once per process.
void RegisterWindowClasses(WNDPROC pictureBoxProc, WNDPROC textBoxProc);

// Outer size of a window in twips.
double OuterTwips(HWND window, bool vertical);
// The window's rectangle where MoveWindow places it: in its parent's client area for a child,
// on the screen otherwise.
RECT PlacedRect(HWND window);
void Resize(HWND window, double twips, bool vertical);

// The controls (picture_box.cpp, text_box.cpp, form.cpp).
const ClassInfo& FormInfo();
const ClassInfo& PictureBoxInfo();
const ClassInfo& TextBoxInfo();
ComPtr<IDispatch> CreatePictureBox(HWND parent);
ComPtr<IDispatch> CreateTextBox(HWND parent);
WNDPROC PictureBoxProc();
WNDPROC TextBoxProc();

}  // namespace orvex::host_kit
