// Builds version resources (VS_VERSIONINFO trees) as bytes for the version tests and
// fuzz seeds. Lengths are computed unless a node overrides them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvex::test {

struct VersionNodeDesc {
  std::u16string key;
  uint16_t type = 0;  // 1 for text
  std::vector<uint8_t> value;
  uint16_t valueLength = 0;  // characters for text, bytes otherwise
  std::vector<VersionNodeDesc> children;
  std::optional<uint16_t> lengthOverride;
};

inline void PutLe(std::vector<uint8_t>& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

inline std::vector<uint8_t> BuildVersionNode(const VersionNodeDesc& desc) {
  std::vector<uint8_t> out(6, 0);
  for (char16_t c : desc.key) PutLe(out, c, 2);
  PutLe(out, 0, 2);
  while (out.size() % 4) out.push_back(0);
  out.insert(out.end(), desc.value.begin(), desc.value.end());
  for (const VersionNodeDesc& child : desc.children) {
    while (out.size() % 4) out.push_back(0);
    std::vector<uint8_t> bytes = BuildVersionNode(child);
    out.insert(out.end(), bytes.begin(), bytes.end());
  }
  uint16_t length = desc.lengthOverride ? *desc.lengthOverride : static_cast<uint16_t>(out.size());
  out[0] = static_cast<uint8_t>(length);
  out[1] = static_cast<uint8_t>(length >> 8);
  out[2] = static_cast<uint8_t>(desc.valueLength);
  out[3] = static_cast<uint8_t>(desc.valueLength >> 8);
  out[4] = static_cast<uint8_t>(desc.type);
  out[5] = 0;
  return out;
}

// A String entry: UTF-16 text with its terminator, wValueLength counting it.
inline VersionNodeDesc VersionString(std::u16string key, const std::u16string& text) {
  VersionNodeDesc desc{std::move(key), 1, {}, static_cast<uint16_t>(text.size() + 1), {}, {}};
  for (char16_t c : text) PutLe(desc.value, c, 2);
  PutLe(desc.value, 0, 2);
  return desc;
}

inline std::vector<uint8_t> FixedFileInfo(uint32_t fileMS, uint32_t fileLS) {
  std::vector<uint8_t> out;
  uint32_t fields[13] = {0xFEEF04BD, 0x00010000, fileMS, fileLS, fileMS, fileLS, 0x3F,
                         0,          0x40004,    1,      0,      0,      0};
  for (uint32_t f : fields) PutLe(out, f, 4);
  return out;
}

// VS_VERSIONINFO with fixed info, one string table per translation key in `tables`, and
// a Translation value listing `translations` (language, code page pairs).
inline VersionNodeDesc StandardVersion(
    const std::vector<std::pair<std::u16string, std::vector<VersionNodeDesc>>>& tables,
    const std::vector<std::pair<uint16_t, uint16_t>>& translations) {
  VersionNodeDesc root{u"VS_VERSION_INFO", 0, FixedFileInfo(0x00010002, 0x00030004), 52, {}, {}};
  VersionNodeDesc strings{u"StringFileInfo", 1, {}, 0, {}, {}};
  for (const auto& [key, entries] : tables)
    strings.children.push_back({key, 1, {}, 0, entries, {}});
  VersionNodeDesc translation{u"Translation", 0, {}, 0, {}, {}};
  for (auto [language, codePage] : translations) {
    PutLe(translation.value, language, 2);
    PutLe(translation.value, codePage, 2);
  }
  translation.valueLength = static_cast<uint16_t>(translation.value.size());
  VersionNodeDesc var{u"VarFileInfo", 1, {}, 0, {translation}, {}};
  root.children = {strings, var};
  return root;
}

}  // namespace orvex::test
