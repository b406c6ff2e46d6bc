// Menus are the platform's own. MENUITEMINFOA is the 32-bit platform's structure here (44
// bytes, 32-bit handles and pointers); it is converted field by field, and the item text
// goes to the caller's buffer, which lies below 4 GB (user/low_memory.h).
#include "platform/user/menu.h"

#include <atomic>
#include <cstring>
#include <vector>

#include "platform/user/menu_template.h"

#include "platform/core/win/pointer_handles.h"
#include "platform/core/win/windows_sdk.h"

namespace orvex {

namespace {

// Menus loaded through this layer and not yet destroyed (a test's check that every walk
// destroys what it loaded).
std::atomic<size_t> liveMenus{0};

HMENU Loaded(::HMENU menu) {
  if (menu != nullptr) ++liveMenus;
  return win::FromReal(menu);
}

}  // namespace

HMENU LoadMenuA(HINSTANCE module, LPCSTR name) {
  auto* instance = static_cast<::HINSTANCE>(win::ModuleHandles().Resolve(module));
  return Loaded(::LoadMenuA(instance, name));
}

// The platform reads a template without knowing its size: it gets only templates that
// this layer's bounds-checked parser reads whole (no items, truncated: no menu).
HMENU LoadMenuFromBytes(Bytes templateBytes) {
  auto parsed = ParseMenuTemplate(templateBytes);
  if (!parsed || parsed->items.empty()) {
    ::SetLastError(ERROR_INVALID_DATA);
    return 0;
  }
  std::vector<uint32_t> aligned((templateBytes.size() + 3) / 4);
  std::memcpy(aligned.data(), templateBytes.data(), templateBytes.size());
  return Loaded(::LoadMenuIndirectA(aligned.data()));
}

size_t LiveMenuCountForTesting() {
  return liveMenus.load();
}

int GetMenuItemCount(HMENU menu) {
  return ::GetMenuItemCount(win::ToReal<::HMENU>(menu));
}

BOOL GetMenuItemInfoA(HMENU menu, UINT item, BOOL fByPosition, MENUITEMINFOA* info) {
  if (info == nullptr || info->cbSize != sizeof(MENUITEMINFOA)) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  ::MENUITEMINFOA real{};
  real.cbSize = sizeof real;
  real.fMask = info->fMask;
  real.dwTypeData = info->dwTypeData.Get();
  real.cch = info->cch;
  if (!::GetMenuItemInfoA(win::ToReal<::HMENU>(menu), item, fByPosition, &real)) return 0;
  info->fType = real.fType;
  info->fState = real.fState;
  info->wID = real.wID;
  info->hSubMenu = win::FromReal(real.hSubMenu);
  info->hbmpChecked = win::FromReal(real.hbmpChecked);
  info->hbmpUnchecked = win::FromReal(real.hbmpUnchecked);
  info->dwItemData = static_cast<ULONG_PTR32>(real.dwItemData);
  info->cch = real.cch;
  return 1;
}

HMENU GetSubMenu(HMENU menu, int position) {
  return win::FromReal(::GetSubMenu(win::ToReal<::HMENU>(menu), position));
}

BOOL DestroyMenu(HMENU menu) {
  const BOOL destroyed = ::DestroyMenu(win::ToReal<::HMENU>(menu));
  if (destroyed && liveMenus.load() > 0) --liveMenus;
  return destroyed;
}

}  // namespace orvex
