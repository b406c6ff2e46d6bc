#include "platform/user/menu.h"

#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/text/text.h"

namespace orvex {
namespace {

struct MenuItem {
  UINT type = 0;
  UINT state = 0;
  UINT id = 0;
  HMENU subMenu = 0;
  bool hasText = false;
  std::string text;  // ANSI, converted once at load
};

struct Menu {
  std::vector<MenuItem> items;
};

class MenuTable {
 public:
  std::mutex mutex;
  std::unordered_map<HMENU, Menu> menus;

  HMENU Add(Menu menu) {
    // Handles count up from a value that looks like the platform's and never reuse a live
    // one; 0 is never handed out.
    do {
      next_ = next_ + 1 == 0 ? kFirstHandle : next_ + 1;
    } while (menus.count(next_) != 0);
    menus.emplace(next_, std::move(menu));
    return next_;
  }

  Menu* Find(HMENU handle) {
    auto it = menus.find(handle);
    return it == menus.end() ? nullptr : &it->second;
  }

  // Removes `handle` and its submenus without recursion (nesting is bounded, but the walk
  // needs no stack either way).
  bool Destroy(HMENU handle) {
    if (menus.count(handle) == 0) return false;
    std::vector<HMENU> pending{handle};
    while (!pending.empty()) {
      HMENU current = pending.back();
      pending.pop_back();
      auto it = menus.find(current);
      if (it == menus.end()) continue;
      for (const MenuItem& item : it->second.items)
        if (item.subMenu != 0) pending.push_back(item.subMenu);
      menus.erase(it);
    }
    return true;
  }

 private:
  static constexpr HMENU kFirstHandle = 0x00010000;
  HMENU next_ = kFirstHandle;
};

MenuTable& Table() {
  static MenuTable* table = new MenuTable;  // never destroyed: usable during exit
  return *table;
}

// Called with the table locked. Submenus are created first so a popup item can carry its
// handle; classic popups report that handle as their identifier, as AppendMenu makes them.
HMENU Build(MenuTable& table, const std::vector<MenuTemplateItem>& items, bool extended) {
  Menu menu;
  menu.items.reserve(items.size());
  for (const MenuTemplateItem& source : items) {
    MenuItem item;
    item.type = source.type;
    item.state = source.state;
    item.id = source.id;
    item.hasText = source.hasText;
    if (source.hasText) item.text = UnicodeToAnsi(source.text);
    if (source.popup) {
      item.subMenu = Build(table, source.children, extended);
      if (!extended) item.id = item.subMenu;
    }
    menu.items.push_back(std::move(item));
  }
  return table.Add(std::move(menu));
}

const MenuItem* FindByCommand(MenuTable& table, const Menu& menu, UINT id, int depth) {
  if (depth > kMaxMenuDepth + 1) return nullptr;
  for (const MenuItem& item : menu.items) {
    if (item.subMenu != 0) {
      if (const Menu* sub = table.Find(item.subMenu)) {
        if (const MenuItem* found = FindByCommand(table, *sub, id, depth + 1)) return found;
      }
    }
    if (item.id == id) return &item;
  }
  return nullptr;
}

void CopyText(const MenuItem& item, MENUITEMINFOA& info) {
  char* buffer = info.dwTypeData.Get();
  if (!item.hasText) {
    if (buffer != nullptr && info.cch != 0) buffer[0] = '\0';
    info.cch = 0;
    return;
  }
  const UINT length = static_cast<UINT>(item.text.size());
  if (buffer == nullptr || info.cch == 0) {
    info.cch = length;
    return;
  }
  const UINT copied = length < info.cch ? length : info.cch - 1;
  std::memcpy(buffer, item.text.data(), copied);
  buffer[copied] = '\0';
  info.cch = copied;
}

}  // namespace

HMENU LoadMenuFromBytes(Bytes templateBytes) {
  auto parsed = ParseMenuTemplate(templateBytes);
  if (!parsed) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return 0;
  }
  MenuTable& table = Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  return Build(table, parsed->items, parsed->extended);
}

int GetMenuItemCount(HMENU menu) {
  MenuTable& table = Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  const Menu* found = table.Find(menu);
  if (found == nullptr) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return -1;
  }
  return static_cast<int>(found->items.size());
}

BOOL GetMenuItemInfoA(HMENU menu, UINT item, BOOL fByPosition, MENUITEMINFOA* info) {
  if (info == nullptr || info->cbSize != sizeof(MENUITEMINFOA)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // MIIM_TYPE is the older form of MIIM_FTYPE + MIIM_STRING + MIIM_BITMAP; the platform
  // refuses a mask that mixes the two forms.
  if ((info->fMask & MIIM_TYPE) != 0 &&
      (info->fMask & (MIIM_STRING | MIIM_FTYPE | MIIM_BITMAP)) != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  MenuTable& table = Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  const Menu* found = table.Find(menu);
  if (found == nullptr) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return FALSE;
  }
  const MenuItem* entry = nullptr;
  if (fByPosition) {
    if (item < found->items.size()) entry = &found->items[item];
  } else {
    entry = FindByCommand(table, *found, item, 0);
  }
  if (entry == nullptr) {
    SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
    return FALSE;
  }

  if (info->fMask & (MIIM_TYPE | MIIM_FTYPE)) info->fType = entry->type;
  // Through MIIM_TYPE a separator, bitmap or owner-drawn item has no text: no pointer and
  // length 0, also when its template gave it one (so cch never exceeds the caller's buffer).
  if ((info->fMask & MIIM_TYPE) && (entry->type & (MFT_BITMAP | MFT_OWNERDRAW | MFT_SEPARATOR))) {
    info->dwTypeData = Ptr32<char>::Null();
    info->cch = 0;
  } else if (info->fMask & (MIIM_TYPE | MIIM_STRING)) {
    CopyText(*entry, *info);
  }
  if (info->fMask & MIIM_STATE) info->fState = entry->state;
  if (info->fMask & MIIM_ID) info->wID = entry->id;
  if (info->fMask & MIIM_SUBMENU) info->hSubMenu = entry->subMenu;
  if (info->fMask & MIIM_CHECKMARKS) {
    info->hbmpChecked = 0;
    info->hbmpUnchecked = 0;
  }
  if (info->fMask & MIIM_DATA) info->dwItemData = 0;
  return TRUE;
}

HMENU GetSubMenu(HMENU menu, int position) {
  MenuTable& table = Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  const Menu* found = table.Find(menu);
  if (found == nullptr || position < 0 || static_cast<size_t>(position) >= found->items.size())
    return 0;
  return found->items[static_cast<size_t>(position)].subMenu;
}

BOOL DestroyMenu(HMENU menu) {
  MenuTable& table = Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  if (!table.Destroy(menu)) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return FALSE;
  }
  return TRUE;
}

size_t LiveMenuCountForTesting() {
  MenuTable& table = Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  return table.menus.size();
}

}  // namespace orvex
