// The dialog manager: dialog windows built from templates (resource type 5) with their
// controls, dialog base units from the template's font, and conversions of dialog units.
#pragma once

#include "base/byte_reader.h"
#include "platform/user/window.h"
#include "platform/win32_types.h"

namespace orvex {

using INT_PTR = intptr_t;
using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

inline constexpr UINT WM_INITDIALOG = 0x0110;
inline constexpr int DLGWINDOWEXTRA = 30;
inline constexpr DWORD DS_ABSALIGN = 0x01;
inline constexpr DWORD DS_3DLOOK = 0x04;
inline constexpr DWORD DS_MODALFRAME = 0x80;
inline constexpr DWORD DS_NOFAILCREATE = 0x10;
inline constexpr DWORD DS_CONTROL = 0x400;
inline constexpr DWORD DS_CENTER = 0x800;
inline constexpr DWORD ERROR_TLW_WITH_WSCHILD = 1406;

// A modeless dialog from the template `name` of `instance` ("#n" or a name): a child of
// `parent` when the template has WS_CHILD (a child template without a parent fails), else
// a pop-up owned by `parent`'s top-level window. The template's controls are created in
// order with their ids, styles and rectangles in dialog units; a control whose class is
// not registered fails the dialog unless the template has DS_NOFAILCREATE. 0 with the last
// error set when the template is missing or cannot be built; nothing is left behind.
HWND CreateDialogParamA(HINSTANCE instance, LPCSTR name, HWND parent, DLGPROC proc, LPARAM param);
// The same from a template's bytes (the stand-in's own entry: the bytes are bounded).
HWND CreateDialogFromTemplate(HINSTANCE instance, Bytes templateBytes, HWND parent, DLGPROC proc,
                              LPARAM param);
// Converts dialog units to pixels with the dialog's base units.
BOOL MapDialogRect(HWND dialog, RECT* rect);
// The system font's base units: width in the low word, height in the high word.
LONG GetDialogBaseUnits();

}  // namespace orvex
