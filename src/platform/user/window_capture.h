// Captures of windows, a host-side convenience of the stand-in (which draws windows into
// cairo contexts instead of a screen): hosts and tests use them to show or record what a
// window looks like. The library's own subsystems never include this header.
#pragma once

#include <cairo.h>

#include <optional>

#include "platform/gdi/image.h"
#include "platform/user/window.h"

namespace orvex {

// Draws `window` and its visible descendants into `context`, whose origin stands for the
// window's top-left corner: each window's frame, then WM_ERASEBKGND and WM_PAINT for its
// client area, then its children bottom to top.
void PaintWindowTree(HWND window, cairo_t* context);
// The window as drawn by PaintWindowTree, written as a PNG; FALSE when it has no area or
// the file cannot be written.
BOOL CaptureWindowToPng(HWND window, const char* path);
// The same drawing as pixels (rows top-down); nothing when the window has no area.
std::optional<Pixels> CaptureWindowPixels(HWND window);
// The same drawing written as SVG: shapes stay vector, texts are text elements, pictures
// are embedded images. Captures of a top-level window show the windows it owns over it.
BOOL CaptureWindowToSvg(HWND window, const char* path);

}  // namespace orvex
