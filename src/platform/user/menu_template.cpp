#include "platform/user/menu_template.h"

namespace orvex {
namespace {

// MENUITEMTEMPLATE (classic), one per item, the level ending at the item flagged MF_END:
//   WORD mtOption; WORD mtID (absent when mtOption has MF_POPUP); WCHAR mtString[];
// A popup's submenu items follow its text directly.
Expected<void> ParseClassicLevel(ByteReader& reader, int depth,
                                 std::vector<MenuTemplateItem>& out) {
  if (depth > kMaxMenuDepth)
    return Error{"menus nest deeper than " + std::to_string(kMaxMenuDepth)};
  for (;;) {
    const std::string context = "item " + std::to_string(out.size() + 1);
    auto option = reader.Read<uint16_t>();
    if (!option) return option.GetError().In(context);
    bool last = (*option & MF_END) != 0;
    // MF_END shares its value with MF_HILITE; it never reaches the item.
    UINT flags = *option & ~MF_END;
    MenuTemplateItem item;
    item.popup = (flags & MF_POPUP) != 0;
    if (!item.popup) {
      auto id = reader.Read<uint16_t>();
      if (!id) return id.GetError().In(context);
      item.id = *id;
    }
    auto text = reader.ReadU16CString();
    if (!text) return text.GetError().In(context);
    item.text = std::move(*text);
    item.hasText = true;
    item.type = flags & kMenuTypeMask;
    item.state = flags & (MFS_GRAYED | MFS_CHECKED | MFS_DEFAULT);
    // An empty string item is how resource compilers write a separator; the platform
    // appends it without text, which makes it one.
    bool stringItem = (flags & (MF_BITMAP | MF_OWNERDRAW | MF_SEPARATOR)) == 0;
    if (!item.popup && stringItem && item.text.empty()) {
      item.type |= MFT_SEPARATOR;
      item.hasText = false;
    }
    // Separators appended this way are disabled as well (checked against Wine).
    if (item.type & MFT_SEPARATOR) item.state |= MFS_GRAYED;
    if (item.popup) {
      auto sub = ParseClassicLevel(reader, depth + 1, item.children);
      if (!sub) return sub.GetError().In(context);
    }
    out.push_back(std::move(item));
    if (last) return {};
  }
}

// MENUEX_TEMPLATE_ITEM (extended), aligned to 4 bytes:
//   DWORD dwType; DWORD dwState; DWORD menuId; WORD bResInfo; WCHAR szText[];
//   (pad to 4) and, when bResInfo has 0x01: DWORD dwHelpId; then the submenu's items.
// bResInfo 0x80 marks the last item of a level.
Expected<void> ParseExtendedLevel(ByteReader& reader, int depth,
                                  std::vector<MenuTemplateItem>& out) {
  if (depth > kMaxMenuDepth)
    return Error{"menus nest deeper than " + std::to_string(kMaxMenuDepth)};
  for (;;) {
    const std::string context = "item " + std::to_string(out.size() + 1);
    auto type = reader.Read<uint32_t>();
    if (!type) return type.GetError().In(context);
    auto state = reader.Read<uint32_t>();
    if (!state) return state.GetError().In(context);
    auto id = reader.Read<uint32_t>();
    if (!id) return id.GetError().In(context);
    auto resInfo = reader.Read<uint16_t>();
    if (!resInfo) return resInfo.GetError().In(context);
    auto text = reader.ReadU16CString();
    if (!text) return text.GetError().In(context);
    reader.AlignTo(4);

    MenuTemplateItem item;
    item.type = *type & kMenuTypeMask;
    item.state = *state & kMenuStateMask;
    item.id = *id;
    item.popup = (*resInfo & 0x01) != 0;
    item.text = std::move(*text);
    item.hasText = !item.text.empty();
    if (item.popup) {
      auto helpId = reader.Read<uint32_t>();
      if (!helpId) return helpId.GetError().In(context);
      auto sub = ParseExtendedLevel(reader, depth + 1, item.children);
      if (!sub) return sub.GetError().In(context);
    } else if (item.text.empty() && (item.type & MFT_SEPARATOR) == 0) {
      // The platform turns an extended item without text into a separator too.
      item.type |= MFT_SEPARATOR;
    }
    out.push_back(std::move(item));
    if ((*resInfo & 0x80) != 0) return {};
  }
}

}  // namespace

Expected<MenuTemplate> ParseMenuTemplate(Bytes bytes) {
  ByteReader reader(bytes);
  // MENUITEMTEMPLATEHEADER / MENUEX_TEMPLATE_HEADER: WORD version; WORD offset; the first
  // item starts `offset` bytes after the header's 4 bytes (the extended header's DWORD
  // dwHelpId is counted in its offset).
  auto version = reader.Read<uint16_t>();
  if (!version) return version.GetError().In("menu header");
  auto offset = reader.Read<uint16_t>();
  if (!offset) return offset.GetError().In("menu header");
  if (*version > 1)
    return Error{"menu template version " + std::to_string(*version) + " is unknown"};
  if (auto skip = reader.Skip(*offset); !skip) return skip.GetError().In("menu header");

  MenuTemplate result;
  result.extended = *version == 1;
  // Resource compilers write a menu without items as the header alone.
  if (reader.AtEnd()) return result;
  auto parsed = result.extended ? ParseExtendedLevel(reader, 0, result.items)
                                : ParseClassicLevel(reader, 0, result.items);
  if (!parsed) return parsed.GetError();
  return result;
}

}  // namespace orvex
