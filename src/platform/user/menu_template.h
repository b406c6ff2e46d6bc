// Menu templates (resource type 4) in both published layouts: the classic MENUITEMTEMPLATE
// list (version 0) and the extended MENUEX_TEMPLATE list (version 1). The parsed model
// holds each item as the platform stores it after loading, so the menu functions only
// hand out handles to its levels.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/byte_reader.h"
#include "base/expected.h"
#include "platform/win32_types.h"

namespace orvex {

// Item flags of the classic layout (MF_*) and the type and state bits of the extended
// layout (MFT_*, MFS_*), which share their values.
inline constexpr UINT MF_GRAYED = 0x0001;
inline constexpr UINT MF_DISABLED = 0x0002;
inline constexpr UINT MF_BITMAP = 0x0004;
inline constexpr UINT MF_CHECKED = 0x0008;
inline constexpr UINT MF_POPUP = 0x0010;
inline constexpr UINT MF_MENUBARBREAK = 0x0020;
inline constexpr UINT MF_MENUBREAK = 0x0040;
inline constexpr UINT MF_END = 0x0080;
inline constexpr UINT MF_HILITE = 0x0080;
inline constexpr UINT MF_OWNERDRAW = 0x0100;
inline constexpr UINT MF_SEPARATOR = 0x0800;
inline constexpr UINT MF_DEFAULT = 0x1000;
inline constexpr UINT MF_HELP = 0x4000;

inline constexpr UINT MFT_STRING = 0x0000;
inline constexpr UINT MFT_BITMAP = 0x0004;
inline constexpr UINT MFT_MENUBARBREAK = 0x0020;
inline constexpr UINT MFT_MENUBREAK = 0x0040;
inline constexpr UINT MFT_OWNERDRAW = 0x0100;
inline constexpr UINT MFT_RADIOCHECK = 0x0200;
inline constexpr UINT MFT_SEPARATOR = 0x0800;
inline constexpr UINT MFT_RIGHTORDER = 0x2000;
inline constexpr UINT MFT_RIGHTJUSTIFY = 0x4000;
// The type bits an item keeps; everything else of a template's flags is dropped.
inline constexpr UINT kMenuTypeMask = MFT_BITMAP | MFT_MENUBARBREAK | MFT_MENUBREAK |
                                      MFT_OWNERDRAW | MFT_RADIOCHECK | MFT_SEPARATOR |
                                      MFT_RIGHTORDER | MFT_RIGHTJUSTIFY;

inline constexpr UINT MFS_GRAYED = 0x0003;
inline constexpr UINT MFS_DISABLED = MFS_GRAYED;
inline constexpr UINT MFS_CHECKED = 0x0008;
inline constexpr UINT MFS_HILITE = 0x0080;
inline constexpr UINT MFS_DEFAULT = 0x1000;
inline constexpr UINT kMenuStateMask = MFS_GRAYED | MFS_CHECKED | MFS_HILITE | MFS_DEFAULT;

// Nesting beyond this many submenu levels makes a template invalid: the platform's own
// loader recurses per level, and a hostile template must not exhaust the stack.
inline constexpr int kMaxMenuDepth = 32;

// One item as the platform stores it after loading. A popup names the level that holds its
// submenu's items.
struct MenuTemplateItem {
  UINT type = 0;            // MFT_* bits as the loaded item reports them
  UINT state = 0;           // MFS_* bits
  UINT id = 0;              // command identifier (0 for a classic popup, which has none)
  bool hasText = false;     // false for a separator made from an empty string item
  uint32_t textOffset = 0;  // the caption, converted to ANSI, in MenuTemplate::text
  uint32_t textLength = 0;
  int32_t subLevel = -1;  // index into MenuTemplate::levels; -1 for an item without submenu
};

// The items of one menu level: items[first, first + count).
struct MenuLevel {
  uint32_t first = 0;
  uint32_t count = 0;
};

// A whole template in three flat arrays, so that loading a menu costs a few allocations
// however many items and submenus it has. Levels are stored as they end (a submenu before
// its parent); the top level is the last one.
struct MenuTemplate {
  bool extended = false;
  std::vector<MenuTemplateItem> items;
  std::vector<MenuLevel> levels;
  std::string text;  // every caption, ANSI, one after the other

  std::string_view TextOf(const MenuTemplateItem& item) const {
    return std::string_view(text).substr(item.textOffset, item.textLength);
  }
};

// One item exactly as a template stores it, for writers that must reproduce the template.
struct MenuStoredItem {
  uint32_t flags = 0;    // mtOption (classic, MF_END kept) or dwType (extended)
  uint32_t state = 0;    // dwState (extended)
  uint32_t id = 0;       // mtID (classic items other than popups) or menuId (extended)
  uint16_t resInfo = 0;  // bResInfo (extended)
  uint32_t helpId = 0;   // dwHelpId (extended popups)
  std::u16string text;
  int depth = 0;  // 0 for the top level
};

// A template's header and items in template order (a popup before its submenu's items).
struct MenuStoredForm {
  uint16_t version = 0;
  uint16_t headerOffset = 0;
  Bytes headerExtra;  // the `headerOffset` bytes after the header (extended: dwHelpId)
  std::vector<MenuStoredItem> items;
  size_t end = 0;  // where the last item ends
};

// Fails with context ("item 3: text runs past the end") on a truncated list, a version
// other than 0 or 1, or nesting deeper than kMaxMenuDepth. A header without items gives
// one empty level. With `stored`, also fills in the template's stored form.
Expected<MenuTemplate> ParseMenuTemplate(Bytes bytes, MenuStoredForm* stored = nullptr);

}  // namespace orvex
