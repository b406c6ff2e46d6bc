// Basic types of the Windows platform as the stand-in layer exposes them. Handles are
// 32-bit values from per-kind handle tables (0 = none), as on the 32-bit platform.
#pragma once

#include <cstdint>

namespace orvex {

using BOOL = int32_t;
inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;
using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using UINT = uint32_t;
using LONG = int32_t;
using LONG_PTR = intptr_t;
using LPSTR = char*;
using LPCSTR = const char*;
using LPVOID = void*;

using HMODULE = uint32_t;
using HINSTANCE = uint32_t;
using HRSRC = uint32_t;
using HGLOBAL = uint32_t;
using HWND = uint32_t;
using HMENU = uint32_t;
using HANDLE = uint32_t;  // what LoadImageA returns: a bitmap, icon or cursor handle
using HGDIOBJ = uint32_t;
using HBITMAP = uint32_t;
using HPALETTE = uint32_t;
using HBRUSH = uint32_t;
using HFONT = uint32_t;
using HICON = uint32_t;
using HCURSOR = uint32_t;
using HDC = uint32_t;
using COLORREF = DWORD;  // 0x00BBGGRR

using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

#if defined(__i386__)
// On 32-bit x86 a window procedure removes its own four arguments.
using WNDPROC = LRESULT(__attribute__((stdcall)) *)(HWND, UINT, WPARAM, LPARAM);
#else
using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
#endif

struct POINT {
  LONG x;
  LONG y;
};
struct SIZE {
  LONG cx;
  LONG cy;
};
struct RECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
};

// A resource identifier: an integer up to 0xFFFF, or the address of zero-terminated ANSI text.
inline bool IS_INTRESOURCE(const void* id) {
  return (reinterpret_cast<uintptr_t>(id) >> 16) == 0;
}
inline LPCSTR MAKEINTRESOURCEA(uintptr_t id) {
  return reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(static_cast<WORD>(id)));
}

inline WORD LOWORD(uint32_t value) {
  return static_cast<WORD>(value & 0xFFFF);
}
inline WORD HIWORD(uint32_t value) {
  return static_cast<WORD>(value >> 16);
}
// number × numerator / denominator in 64 bits, rounded half away from zero; -1 when the
// denominator is 0, as the platform's MulDiv.
inline int MulDiv(int number, int numerator, int denominator) {
  if (denominator == 0) return -1;
  long long product = static_cast<long long>(number) * numerator;
  const bool negative = (product < 0) != (denominator < 0);
  if (product < 0) product = -product;
  const long long d = denominator < 0 ? -static_cast<long long>(denominator) : denominator;
  const long long q = (product + d / 2) / d;
  return static_cast<int>(negative ? -q : q);
}

// Error codes of GetLastError that the stand-in sets.
inline constexpr DWORD ERROR_SUCCESS = 0;
inline constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
inline constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
inline constexpr DWORD ERROR_ACCESS_DENIED = 5;
inline constexpr DWORD ERROR_INVALID_HANDLE = 6;
inline constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr DWORD ERROR_BAD_FORMAT = 11;
inline constexpr DWORD ERROR_INVALID_DATA = 13;
inline constexpr DWORD ERROR_INVALID_PARAMETER = 87;
inline constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
inline constexpr DWORD ERROR_MOD_NOT_FOUND = 126;
inline constexpr DWORD ERROR_BAD_EXE_FORMAT = 193;
inline constexpr DWORD ERROR_RESOURCE_DATA_NOT_FOUND = 1812;
inline constexpr DWORD ERROR_RESOURCE_TYPE_NOT_FOUND = 1813;
inline constexpr DWORD ERROR_RESOURCE_NAME_NOT_FOUND = 1814;
inline constexpr DWORD ERROR_RESOURCE_LANG_NOT_FOUND = 1815;

// The calling thread's last platform error.
DWORD GetLastError();
void SetLastError(DWORD error);

}  // namespace orvex
