// Menus loaded from templates: a handle per level of a template, and the item queries.
#include "platform/user/menu.h"

#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/core/handle_table.h"

namespace orvex {
namespace {

// A loaded template: every level of it is a menu with a handle of its own. It lives until
// the last of those handles is destroyed (each level's entry holds it).
struct LoadedMenu {
  MenuTemplate menu;
  std::vector<HMENU> handles;  // one per level, in the template's level order
};

// One menu as a handle names it: a level of a loaded template.
struct MenuLevelObject {
  std::shared_ptr<const LoadedMenu> loaded;
  uint32_t level = 0;
};

// A found menu; empty for a handle that names none. Holds the template alive while used.
struct MenuRef {
  std::shared_ptr<const MenuLevelObject> object;

  explicit operator bool() const { return object != nullptr; }
  const LoadedMenu& Loaded() const { return *object->loaded; }
  const MenuLevel& Level() const { return Loaded().menu.levels[object->level]; }
  const MenuTemplateItem& Item(uint32_t position) const {
    return Loaded().menu.items[Level().first + position];
  }
  HMENU SubMenu(const MenuTemplateItem& item) const {
    return item.subLevel < 0 ? 0 : Loaded().handles[static_cast<size_t>(item.subLevel)];
  }
};

// The process's menu handles, formed as the platform's other object handles are.
HandleTable<const MenuLevelObject>& Menus() {
  static auto* table = new HandleTable<const MenuLevelObject>(HandleKind::Menu);
  return *table;  // never destroyed: usable during exit
}

MenuRef FindMenu(HMENU handle) {
  return MenuRef{Menus().Find(handle)};
}

// Hands out a handle for every level of `menu` and returns the top level's, or 0 (and takes
// none) when the table cannot hold them all. `handles` is complete before any of them is
// returned, so no other caller reads it while it grows.
HMENU AddMenuLevels(MenuTemplate menu) {
  auto loaded = std::make_shared<LoadedMenu>();
  loaded->menu = std::move(menu);
  const size_t levels = loaded->menu.levels.size();
  loaded->handles.reserve(levels);
  auto& table = Menus();
  for (uint32_t level = 0; level < levels; ++level) {
    const HMENU handle = table.Add(std::make_shared<const MenuLevelObject>(
        MenuLevelObject{std::shared_ptr<const LoadedMenu>(loaded, loaded.get()), level}));
    if (handle == 0) {
      for (const HMENU added : loaded->handles) table.Remove(added);
      return 0;
    }
    loaded->handles.push_back(handle);
  }
  return loaded->handles.empty() ? 0 : loaded->handles.back();  // the top level
}

// Destroys `handle` and the submenus of its items that are still alive, without recursion.
bool DestroyMenuLevels(HMENU handle) {
  auto& table = Menus();
  const MenuRef first = FindMenu(handle);
  if (!first) return false;
  std::vector<HMENU> pending{handle};
  while (!pending.empty()) {
    const HMENU current = pending.back();
    pending.pop_back();
    const MenuRef menu{table.Remove(current)};
    if (!menu) continue;
    const MenuLevel& level = menu.Level();
    for (uint32_t i = 0; i < level.count; ++i) {
      if (const HMENU sub = menu.SubMenu(menu.Item(i)); sub != 0) pending.push_back(sub);
    }
  }
  return true;
}

// A classic template's popup reports its submenu handle as its identifier, as AppendMenu
// makes such items; every other item its stored identifier.
UINT ItemId(const MenuRef& menu, const MenuTemplateItem& item) {
  if (item.subLevel >= 0 && !menu.Loaded().menu.extended) return menu.SubMenu(item);
  return item.id;
}

// The item with command identifier `id`, looked for depth first in the submenus too (a
// popup's own identifier is compared after its submenu's items).
const MenuTemplateItem* FindByCommand(const MenuRef& menu, UINT id, int depth, MenuRef& owner) {
  if (depth > kMaxMenuDepth + 1) return nullptr;
  const MenuLevel& level = menu.Level();
  for (uint32_t i = 0; i < level.count; ++i) {
    const MenuTemplateItem& item = menu.Item(i);
    if (const HMENU sub = menu.SubMenu(item); sub != 0) {
      if (const MenuRef subMenu = FindMenu(sub)) {
        if (const auto* found = FindByCommand(subMenu, id, depth + 1, owner)) return found;
      }
    }
    if (ItemId(menu, item) == id) {
      owner = menu;
      return &item;
    }
  }
  return nullptr;
}

void CopyText(std::string_view text, bool hasText, MENUITEMINFOA& info) {
  char* buffer = info.dwTypeData.Get();
  if (!hasText) {
    if (buffer != nullptr && info.cch != 0) buffer[0] = '\0';
    info.cch = 0;
    return;
  }
  const UINT length = static_cast<UINT>(text.size());
  if (buffer == nullptr || info.cch == 0) {
    info.cch = length;
    return;
  }
  const UINT copied = length < info.cch ? length : info.cch - 1;
  std::memcpy(buffer, text.data(), copied);
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
  const HMENU menu = AddMenuLevels(std::move(*parsed));
  if (menu == 0) SetLastError(ERROR_NO_MORE_USER_HANDLES);
  return menu;
}

int GetMenuItemCount(HMENU menu) {
  const MenuRef found = FindMenu(menu);
  if (!found) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return -1;
  }
  return static_cast<int>(found.Level().count);
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
  MenuRef owner = FindMenu(menu);
  if (!owner) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return FALSE;
  }
  const MenuTemplateItem* entry = nullptr;
  if (fByPosition) {
    if (item < owner.Level().count) entry = &owner.Item(item);
  } else {
    entry = FindByCommand(MenuRef(owner), item, 0, owner);
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
    CopyText(owner.Loaded().menu.TextOf(*entry), entry->hasText, *info);
  }
  if (info->fMask & MIIM_STATE) info->fState = entry->state;
  if (info->fMask & MIIM_ID) info->wID = ItemId(owner, *entry);
  if (info->fMask & MIIM_SUBMENU) info->hSubMenu = owner.SubMenu(*entry);
  if (info->fMask & MIIM_CHECKMARKS) {
    info->hbmpChecked = 0;
    info->hbmpUnchecked = 0;
  }
  if (info->fMask & MIIM_DATA) info->dwItemData = 0;
  return TRUE;
}

HMENU GetSubMenu(HMENU menu, int position) {
  const MenuRef found = FindMenu(menu);
  if (!found || position < 0 || static_cast<size_t>(position) >= found.Level().count) return 0;
  return found.SubMenu(found.Item(static_cast<uint32_t>(position)));
}

BOOL DestroyMenu(HMENU menu) {
  if (!DestroyMenuLevels(menu)) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return FALSE;
  }
  return TRUE;
}

size_t LiveMenuCountForTesting() {
  return Menus().LiveCount();
}

}  // namespace orvex
