// Drawing in the platform's classic look, shared by the frames of windows and the system's
// controls: solid fills in system colours, 3D edges, text laid out as DrawText lays it out,
// Marlett symbols (check marks, arrows, caption buttons) and scroll bars.
#pragma once

#include <cairo.h>

#include <string_view>

#include "platform/user/font.h"
#include "platform/win32_types.h"

namespace orvex {

// Makes `color` (0x00BBGGRR) the context's source.
void SetSourceColor(cairo_t* cr, COLORREF color);
void FillSolid(cairo_t* cr, const RECT& rect, COLORREF color);
void FillSysColor(cairo_t* cr, const RECT& rect, int colorIndex);
// A one-pixel frame just inside `rect`.
void FrameSolid(cairo_t* cr, const RECT& rect, COLORREF color);

inline constexpr UINT BDR_RAISEDOUTER = 0x1;
inline constexpr UINT BDR_SUNKENOUTER = 0x2;
inline constexpr UINT BDR_RAISEDINNER = 0x4;
inline constexpr UINT BDR_SUNKENINNER = 0x8;
inline constexpr UINT EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
inline constexpr UINT EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
inline constexpr UINT EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
inline constexpr UINT EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;
// The soft variant: raised edges lit by the highlight outside and the light colour inside.
inline constexpr UINT BF_SOFT = 0x1000;

// Draws the edge's outer and inner one-pixel rings inside `rect` (the top and left sides in
// one colour, the bottom and right in another, the corners those two share going to the
// bottom-right colour) and returns the rectangle left inside them.
RECT DrawEdgeRings(cairo_t* cr, RECT rect, UINT edge);

inline constexpr UINT DT_LEFT = 0x0000;
inline constexpr UINT DT_CENTER = 0x0001;
inline constexpr UINT DT_RIGHT = 0x0002;
inline constexpr UINT DT_VCENTER = 0x0004;
inline constexpr UINT DT_BOTTOM = 0x0008;
inline constexpr UINT DT_WORDBREAK = 0x0010;
inline constexpr UINT DT_SINGLELINE = 0x0020;
inline constexpr UINT DT_EXPANDTABS = 0x0040;
inline constexpr UINT DT_NOCLIP = 0x0100;
inline constexpr UINT DT_NOPREFIX = 0x0800;

// Lays out ANSI text in `rect` as DrawText does with `format` (line breaks at CR LF or LF,
// word wrapping, alignment, "&x" drawn as an underlined x and "&&" as "&") and draws it in
// `color`, clipped to `rect` unless DT_NOCLIP. Returns the height of the text.
int DrawTextInRect(cairo_t* cr, const Font& font, std::string_view text, const RECT& rect,
                   UINT format, COLORREF color);
// The width of one line of text with its "&" prefixes taken out.
int PrefixedTextWidth(const Font& font, std::string_view text);

// Marlett's symbols: check mark 'a', radio dot 'i', radio ring parts 'j' 'k' 'l' 'm' 'n',
// arrows '3' left '4' right '5' up '6' down, close 'r'.
void DrawMarlett(cairo_t* cr, const RECT& rect, char symbol, int pixelHeight, COLORREF color);

// A scroll bar filling `rect`: two arrow buttons and the track, with a thumb at its start
// when `thumb` (a bar whose range is empty has none).
void DrawScrollBar(cairo_t* cr, const RECT& rect, bool vertical, bool thumb);

inline int Width(const RECT& r) {
  return r.right - r.left;
}
inline int Height(const RECT& r) {
  return r.bottom - r.top;
}

}  // namespace orvex
