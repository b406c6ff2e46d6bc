// The platform's own headers and the conversions between its handle types and the 32-bit
// handle values of this layer, for the Windows backend's sources only. Include it after
// every header of this project: its macros (TRUE, S_OK, LOWORD, ...) would rewrite their
// text. Inside namespace orvex the project's names win; the platform's are written with
// a leading "::".
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// (windows.h first: the headers below build on its types.)
#include <commctrl.h>
#include <mmsystem.h>
#include <ocidl.h>
#include <ole2.h>
#include <oleauto.h>
#include <olectl.h>

#include <cstdint>

// On 32-bit x86 the platform's headers make the pointer-sized window and class accessors
// macros for the 32-bit ones, which would rename this layer's own functions of those names;
// there they become functions that forward to the 32-bit ones.
#if defined(GetWindowLongPtrA)
#undef GetWindowLongPtrA
#undef SetWindowLongPtrA
#undef GetClassLongPtrA
#undef SetClassLongPtrA
inline LONG_PTR GetWindowLongPtrA(HWND window, int index) {
  return GetWindowLongA(window, index);
}
inline LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value) {
  return SetWindowLongA(window, index, static_cast<LONG>(value));
}
inline ULONG_PTR GetClassLongPtrA(HWND window, int index) {
  return GetClassLongA(window, index);
}
inline ULONG_PTR SetClassLongPtrA(HWND window, int index, LONG_PTR value) {
  return SetClassLongA(window, index, static_cast<LONG>(value));
}
#endif

// Macros whose text names platform types are evaluated here, outside namespace orvex
// (inside it, names such as HANDLE are this layer's own).
namespace orvex_platform_constants {
inline const ::HANDLE kInvalidHandleValue = INVALID_HANDLE_VALUE;
}  // namespace orvex_platform_constants

namespace orvex::win {

inline const ::HANDLE kInvalidHandle = orvex_platform_constants::kInvalidHandleValue;

// USER and GDI handles (windows, menus, icons, bitmaps, fonts, device contexts) are 32-bit
// values on every Windows, sign-extended where pointers are 64 bits wide.
template <class Real>
Real ToReal(uint32_t handle) {
  return reinterpret_cast<Real>(static_cast<intptr_t>(static_cast<int32_t>(handle)));
}
inline uint32_t FromReal(const void* handle) {
  return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle));
}

}  // namespace orvex::win
