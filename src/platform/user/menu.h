// Menus as the platform's menu functions show them: loaded from a module's menu template
// into 32-bit handles, queried item by item, destroyed with their submenus. Handles are
// process-wide and guarded by one lock; a destroyed handle is never valid again until its
// table entry has been reused 65,535 times.
#pragma once

#include "base/byte_reader.h"
#include "platform/user/low_memory.h"
#include "platform/user/menu_template.h"
#include "platform/win32_types.h"

namespace orvex {

using HBITMAP = uint32_t;
using ULONG_PTR32 = uint32_t;

inline constexpr DWORD ERROR_INVALID_MENU_HANDLE = 1401;
inline constexpr DWORD ERROR_MENU_ITEM_NOT_FOUND = 1456;
inline constexpr DWORD ERROR_NO_MORE_USER_HANDLES = 1158;

inline constexpr UINT MIIM_STATE = 0x001;
inline constexpr UINT MIIM_ID = 0x002;
inline constexpr UINT MIIM_SUBMENU = 0x004;
inline constexpr UINT MIIM_CHECKMARKS = 0x008;
inline constexpr UINT MIIM_TYPE = 0x010;
inline constexpr UINT MIIM_DATA = 0x020;
inline constexpr UINT MIIM_STRING = 0x040;
inline constexpr UINT MIIM_BITMAP = 0x080;
inline constexpr UINT MIIM_FTYPE = 0x100;

// MENUITEMINFOA of the 32-bit platform (the form without hbmpItem): 44 bytes, handles and
// the text pointer as 32-bit fields. dwTypeData must name memory below 4 GB (LowBuffer).
struct MENUITEMINFOA {
  UINT cbSize;
  UINT fMask;
  UINT fType;
  UINT fState;
  UINT wID;
  HMENU hSubMenu;
  HBITMAP hbmpChecked;
  HBITMAP hbmpUnchecked;
  ULONG_PTR32 dwItemData;
  Ptr32<char> dwTypeData;
  UINT cch;
};
static_assert(sizeof(MENUITEMINFOA) == 44);

// Finds the menu resource `name` (text, "#n" or an integer identifier) of `module` and
// builds it. 0 when the module lacks it, its template is malformed, or the process would
// hold more than 65,535 menus (each submenu counts).
HMENU LoadMenuA(HINSTANCE module, LPCSTR name);
// Builds a menu from template bytes (the part of LoadMenuA after the resource lookup).
HMENU LoadMenuFromBytes(Bytes templateBytes);

// The number of items, or -1 (last error ERROR_INVALID_MENU_HANDLE) for a handle that
// names no menu, 0 included.
int GetMenuItemCount(HMENU menu);
// Fills the fields that fMask selects for the item at position `item` (fByPosition
// non-zero) or with command identifier `item` (searched in submenus too). Text goes
// through dwTypeData/cch: with no buffer (or cch 0), cch receives the text's length;
// otherwise up to cch-1 bytes and a terminator are copied and cch receives the number of
// bytes copied. With MIIM_TYPE a separator, bitmap or owner-drawn item reports
// dwTypeData 0 and cch 0. A classic template's popup reports its submenu handle as wID.
BOOL GetMenuItemInfoA(HMENU menu, UINT item, BOOL fByPosition, MENUITEMINFOA* info);
HMENU GetSubMenu(HMENU menu, int position);
// Destroys the menu and, recursively, its submenus.
BOOL DestroyMenu(HMENU menu);

// The number of menus alive (for leak checks in tests).
size_t LiveMenuCountForTesting();

}  // namespace orvex
