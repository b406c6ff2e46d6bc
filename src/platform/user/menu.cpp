#include "platform/user/menu.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

namespace orvex {
namespace {

// A loaded template: every level of it is a menu with a handle of its own. It lives until
// the last of those handles is destroyed.
struct LoadedMenu {
  MenuTemplate menu;
  std::vector<HMENU> handles;  // one per level, in the template's level order
  size_t liveHandles = 0;
};

// One menu as a handle names it: a level of a loaded template.
struct MenuRef {
  LoadedMenu* loaded = nullptr;
  uint32_t level = 0;

  explicit operator bool() const { return loaded != nullptr; }
  const MenuLevel& Level() const { return loaded->menu.levels[level]; }
  const MenuTemplateItem& Item(uint32_t position) const {
    return loaded->menu.items[Level().first + position];
  }
  HMENU SubMenu(const MenuTemplateItem& item) const {
    return item.subLevel < 0 ? 0 : loaded->handles[static_cast<size_t>(item.subLevel)];
  }
};

// The process's menu handles, as the platform forms its window-manager handles: the low
// word indexes a table of at most 65,535 live objects, the high word counts the reuses of
// that entry, so a destroyed handle stays invalid while its entry serves other menus.
class MenuTable {
 public:
  std::mutex mutex;

  // Hands out a handle for every level of `loaded` (ownership passes to the table), or
  // returns false and takes none when the table cannot hold them all.
  bool AddAll(std::unique_ptr<LoadedMenu> loaded) {
    const size_t needed = loaded->menu.levels.size();
    if (needed > kMaxLiveMenus - live_) return false;
    loaded->handles.reserve(needed);
    for (uint32_t level = 0; level < needed; ++level) {
      loaded->handles.push_back(Add(MenuRef{loaded.get(), level}));
    }
    loaded->liveHandles = needed;
    loaded.release();
    return true;
  }

  MenuRef Find(HMENU handle) const {
    const size_t index = handle & 0xFFFF;
    if (index == 0 || index >= slots_.size()) return {};
    const Slot& slot = slots_[index];
    if (slot.uniq != handle >> 16 || !slot.menu) return {};
    return slot.menu;
  }

  // Destroys `handle` and the submenus of its items that are still alive, without
  // recursion.
  bool Destroy(HMENU handle) {
    if (!Find(handle)) return false;
    std::vector<HMENU> pending{handle};
    while (!pending.empty()) {
      const HMENU current = pending.back();
      pending.pop_back();
      const MenuRef menu = Find(current);
      if (!menu) continue;
      const MenuLevel& level = menu.Level();
      for (uint32_t i = 0; i < level.count; ++i) {
        if (const HMENU sub = menu.SubMenu(menu.Item(i)); sub != 0) pending.push_back(sub);
      }
      Remove(current);
    }
    return true;
  }

  size_t LiveCount() const { return live_; }

 private:
  static constexpr size_t kMaxLiveMenus = 0xFFFF;

  struct Slot {
    uint32_t uniq = 0;
    MenuRef menu;
  };

  HMENU Add(MenuRef menu) {
    size_t index;
    if (!free_.empty()) {
      index = free_.back();
      free_.pop_back();
    } else {
      if (slots_.empty()) slots_.emplace_back();  // index 0 is never handed out
      index = slots_.size();
      slots_.emplace_back();
    }
    Slot& slot = slots_[index];
    slot.uniq = slot.uniq == 0xFFFF ? 1 : slot.uniq + 1;
    slot.menu = menu;
    ++live_;
    return static_cast<HMENU>(slot.uniq << 16 | index);
  }

  void Remove(HMENU handle) {
    const size_t index = handle & 0xFFFF;
    Slot& slot = slots_[index];
    LoadedMenu* loaded = slot.menu.loaded;
    slot.menu = {};
    free_.push_back(static_cast<uint16_t>(index));
    --live_;
    if (--loaded->liveHandles == 0) delete loaded;
  }

  std::vector<Slot> slots_;
  std::vector<uint16_t> free_;
  size_t live_ = 0;
};

MenuTable& Table() {
  static MenuTable* table = new MenuTable;  // never destroyed: usable during exit
  return *table;
}

// A classic template's popup reports its submenu handle as its identifier, as AppendMenu
// makes such items; every other item its stored identifier.
UINT ItemId(MenuRef menu, const MenuTemplateItem& item) {
  if (item.subLevel >= 0 && !menu.loaded->menu.extended) return menu.SubMenu(item);
  return item.id;
}

// The item with command identifier `id`, looked for depth first in the submenus too (a
// popup's own identifier is compared after its submenu's items).
const MenuTemplateItem* FindByCommand(const MenuTable& table, MenuRef menu, UINT id, int depth,
                                      MenuRef& owner) {
  if (depth > kMaxMenuDepth + 1) return nullptr;
  const MenuLevel& level = menu.Level();
  for (uint32_t i = 0; i < level.count; ++i) {
    const MenuTemplateItem& item = menu.Item(i);
    if (const HMENU sub = menu.SubMenu(item); sub != 0) {
      if (const MenuRef subMenu = table.Find(sub)) {
        if (const auto* found = FindByCommand(table, subMenu, id, depth + 1, owner)) return found;
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
  auto loaded = std::make_unique<LoadedMenu>();
  loaded->menu = std::move(*parsed);
  MenuTable& table = Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  LoadedMenu* menu = loaded.get();
  if (!table.AddAll(std::move(loaded))) {
    SetLastError(ERROR_NO_MORE_USER_HANDLES);
    return 0;
  }
  return menu->handles.back();  // the top level
}

int GetMenuItemCount(HMENU menu) {
  MenuTable& table = Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  const MenuRef found = table.Find(menu);
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
  MenuTable& table = Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  MenuRef owner = table.Find(menu);
  if (!owner) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return FALSE;
  }
  const MenuTemplateItem* entry = nullptr;
  if (fByPosition) {
    if (item < owner.Level().count) entry = &owner.Item(item);
  } else {
    entry = FindByCommand(table, owner, item, 0, owner);
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
    CopyText(owner.loaded->menu.TextOf(*entry), entry->hasText, *info);
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
  MenuTable& table = Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  const MenuRef found = table.Find(menu);
  if (!found || position < 0 || static_cast<size_t>(position) >= found.Level().count) return 0;
  return found.SubMenu(found.Item(static_cast<uint32_t>(position)));
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
  return table.LiveCount();
}

}  // namespace orvex
