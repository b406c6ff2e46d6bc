// Builders of menu templates and version resources for the renderers' tests.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/version/version.h"
#include "readers/step_recorder.h"

namespace orvex::testing {

inline void Align4(std::vector<std::byte>& out) {
  while (out.size() % 4 != 0) out.push_back(std::byte{0});
}

// An item of an extended (MENUEX) template, the layout that stores a popup's own identifier.
struct Item {
  uint32_t type;
  uint32_t state;
  uint32_t id;
  std::u16string text;
  std::vector<Item> children;
  bool popup = false;
};

inline Item Command(std::u16string text, uint32_t id, uint32_t state = 0) {
  return Item{0, state, id, std::move(text), {}, false};
}
inline Item Separator() {
  return Item{0x800, 0, 0, u"", {}, false};
}
inline Item Popup(std::u16string text, uint32_t id, std::vector<Item> children) {
  return Item{0, 0, id, std::move(text), std::move(children), true};
}

// MENUEX_TEMPLATE_ITEM: DWORD dwType, dwState, menuId; WORD bResInfo; WCHAR szText[];
// pad to 4; a popup adds DWORD dwHelpId and its items.
inline void PutItems(std::vector<std::byte>& out, const std::vector<Item>& items) {
  for (size_t i = 0; i < items.size(); ++i) {
    const Item& item = items[i];
    PutDword(out, item.type);
    PutDword(out, item.state);
    PutDword(out, item.id);
    PutWord(out, (item.popup ? 0x01 : 0) | (i + 1 == items.size() ? 0x80 : 0));
    PutUtf16(out, item.text);
    PutWord(out, 0);
    Align4(out);
    if (item.popup) {
      PutDword(out, 0);
      PutItems(out, item.children);
    }
  }
}

inline std::vector<std::byte> ExtendedMenu(const std::vector<Item>& items) {
  std::vector<std::byte> out;
  PutWord(out, 1);  // wVersion
  PutWord(out, 4);  // wOffset: past dwHelpId
  PutDword(out, 0);
  PutItems(out, items);
  return out;
}

// One node of the version resource: WORD wLength; WORD wValueLength; WORD wType;
// WCHAR szKey[]; pad to 4; the value; pad to 4; the children.
struct Node {
  std::u16string key;
  std::vector<std::byte> value;
  uint16_t valueLength;
  uint16_t type;  // 1 text, 0 binary
  std::vector<Node> children;
};

inline std::vector<std::byte> Encode(const Node& node) {
  std::vector<std::byte> out;
  PutWord(out, 0);  // wLength, set below
  PutWord(out, node.valueLength);
  PutWord(out, node.type);
  PutUtf16(out, node.key);
  PutWord(out, 0);
  Align4(out);
  out.insert(out.end(), node.value.begin(), node.value.end());
  for (const Node& child : node.children) {
    Align4(out);
    const auto bytes = Encode(child);
    out.insert(out.end(), bytes.begin(), bytes.end());
  }
  out[0] = static_cast<std::byte>(out.size() & 0xFF);
  out[1] = static_cast<std::byte>(out.size() >> 8);
  return out;
}

inline Node String(std::u16string key, std::u16string value) {
  std::vector<std::byte> bytes;
  PutUtf16(bytes, value);
  PutWord(bytes, 0);
  const auto length = static_cast<uint16_t>(value.size() + 1);
  return Node{std::move(key), std::move(bytes), length, 1, {}};
}

inline Node Table(std::u16string translation, std::vector<Node> strings) {
  return Node{std::move(translation), {}, 0, 1, std::move(strings)};
}

// VS_VERSIONINFO with the given string tables and translation pairs (language, code page).
inline std::vector<std::byte> VersionResource(
    std::vector<Node> tables, std::vector<std::pair<uint16_t, uint16_t>> translations) {
  std::vector<std::byte> fixed;
  PutDword(fixed, VS_FFI_SIGNATURE);
  PutDword(fixed, 0x00010000);
  for (int i = 0; i < 11; ++i) PutDword(fixed, 0);
  Node root{u"VS_VERSION_INFO", fixed, 52, 0, {}};
  root.children.push_back(Node{u"StringFileInfo", {}, 0, 1, std::move(tables)});
  if (!translations.empty()) {
    std::vector<std::byte> pairs;
    for (auto [language, codePage] : translations) {
      PutWord(pairs, language);
      PutWord(pairs, codePage);
    }
    const auto length = static_cast<uint16_t>(pairs.size());
    Node var{u"Translation", std::move(pairs), length, 0, {}};
    root.children.push_back(Node{u"VarFileInfo", {}, 0, 1, {std::move(var)}});
  }
  return Encode(root);
}

}  // namespace orvex::testing
