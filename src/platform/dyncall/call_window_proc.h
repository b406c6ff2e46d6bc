// The platform's window-procedure caller. Generated call thunks are entered through it, so
// they see the same entry as on the platform: a window procedure called with four values.
#pragma once

#include <cstdint>

#include "platform/win32_types.h"

namespace orvex {

// Calls `proc` with the four values and returns its result; 0 for a null procedure.
LRESULT CallWindowProcA(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace orvex
