// Builds menu templates (both layouts) as bytes for the menu tests and fuzz seeds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvex::test {

struct MenuSpec {
  MenuSpec(uint32_t type_, uint32_t state_, uint32_t id_, std::u16string text_,
           std::vector<MenuSpec> children_ = {}, bool popup_ = false)
      : type(type_),
        state(state_),
        id(id_),
        text(std::move(text_)),
        children(std::move(children_)),
        popup(popup_) {}

  uint32_t type = 0;   // extended: dwType; classic: flags (MF_*) without MF_POPUP/MF_END
  uint32_t state = 0;  // extended only
  uint32_t id = 0;
  std::u16string text;
  std::vector<MenuSpec> children;
  bool popup = false;  // also implied by children
};

inline void PutU16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  PutU16(out, v & 0xFFFF);
  PutU16(out, v >> 16);
}
inline void PutText(std::vector<uint8_t>& out, const std::u16string& text) {
  for (char16_t c : text) PutU16(out, c);
  PutU16(out, 0);
}
inline void Pad4(std::vector<uint8_t>& out) {
  while (out.size() % 4 != 0) out.push_back(0);
}

inline void PutClassicItems(std::vector<uint8_t>& out, const std::vector<MenuSpec>& items) {
  for (size_t i = 0; i < items.size(); ++i) {
    const MenuSpec& item = items[i];
    bool popup = item.popup || !item.children.empty();
    uint32_t flags = item.type | (popup ? 0x10u : 0u) | (i + 1 == items.size() ? 0x80u : 0u);
    PutU16(out, flags);
    if (!popup) PutU16(out, item.id);
    PutText(out, item.text);
    if (popup) PutClassicItems(out, item.children);
  }
}

// MENUITEMTEMPLATEHEADER (version 0, offset 0) and the items.
inline std::vector<uint8_t> ClassicMenu(const std::vector<MenuSpec>& items) {
  std::vector<uint8_t> out;
  PutU16(out, 0);
  PutU16(out, 0);
  PutClassicItems(out, items);
  return out;
}

inline void PutExtendedItems(std::vector<uint8_t>& out, const std::vector<MenuSpec>& items) {
  for (size_t i = 0; i < items.size(); ++i) {
    const MenuSpec& item = items[i];
    bool popup = item.popup || !item.children.empty();
    PutU32(out, item.type);
    PutU32(out, item.state);
    PutU32(out, item.id);
    PutU16(out, (popup ? 0x01u : 0u) | (i + 1 == items.size() ? 0x80u : 0u));
    PutText(out, item.text);
    Pad4(out);
    if (popup) {
      PutU32(out, 0);  // dwHelpId
      PutExtendedItems(out, item.children);
    }
  }
}

// MENUEX_TEMPLATE_HEADER (version 1, offset 4, help id 0) and the items.
inline std::vector<uint8_t> ExtendedMenu(const std::vector<MenuSpec>& items) {
  std::vector<uint8_t> out;
  PutU16(out, 1);
  PutU16(out, 4);
  PutU32(out, 0);
  PutExtendedItems(out, items);
  return out;
}

}  // namespace orvex::test
