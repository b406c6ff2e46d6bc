// The platform's window-procedure caller. Generated call thunks are entered through it, so
// they see the same entry as on the platform: a window procedure called with four values.
#pragma once

#include <cstdint>

#include "platform/win32_types.h"

namespace orvex {

using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

#if defined(__i386__)
// On 32-bit x86 a window procedure removes its own four arguments.
using WNDPROC = LRESULT(__attribute__((stdcall)) *)(HWND, UINT, WPARAM, LPARAM);
#else
using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
#endif

// Calls `proc` with the four values and returns its result; 0 for a null procedure.
LRESULT CallWindowProcA(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace orvex
