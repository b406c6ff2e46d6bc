#include "resource_data.h"

#include <algorithm>
#include <string>

#include "platform/module/module.h"
#include "platform/text/text.h"

namespace orvex::cli {

ResourceData FindResourceData(HMODULE module, std::optional<uint32_t> typeNumber,
                              std::u16string_view typeName, std::u16string_view name) {
  const std::string typeText = typeNumber ? std::string() : UnicodeToAnsi(typeName);
  const std::string nameText = UnicodeToAnsi(name);
  const LPCSTR type = typeNumber ? MAKEINTRESOURCEA(*typeNumber) : typeText.c_str();
  const HRSRC resource = FindResourceA(module, nameText.c_str(), type);
  if (!resource) return ResourceData::kMissing;
  if (LoadResource(module, resource) == 0 && GetLastError() == ERROR_RESOURCE_DATA_NOT_FOUND)
    return ResourceData::kBeyondEnd;
  return ResourceData::kInFile;
}

ResourceData FindResourceData(HMODULE module, const ResourceKey& key) {
  return FindResourceData(module, key.typeNumber, key.resType, key.resName);
}

void CheckResourceData(HMODULE module, const ResourceKey& key) {
  if (FindResourceData(module, key) == ResourceData::kBeyondEnd) throw DataBeyondEndError();
}

void CheckResourceData(HMODULE module, std::string_view type, std::string_view name) {
  std::optional<ResourceKey> key;
  try {
    key = ParseResourceKey(type, name);
  } catch (const CliError&) {
    return;
  }
  CheckResourceData(module, *key);
}

void CheckPictureData(HMODULE module, std::string_view type, std::string_view name) {
  const bool digits = !name.empty() && std::all_of(name.begin(), name.end(),
                                                   [](char c) { return c >= '0' && c <= '9'; });
  CheckResourceData(module, type, digits ? "#" + std::string(name) : std::string(name));
}

std::vector<uint16_t> ResourceLanguages(HMODULE module, std::optional<uint32_t> typeNumber,
                                        std::u16string_view typeName, std::u16string_view name) {
  const std::string typeText = typeNumber ? std::string() : UnicodeToAnsi(typeName);
  const std::string nameText = UnicodeToAnsi(name);
  const LPCSTR type = typeNumber ? MAKEINTRESOURCEA(*typeNumber) : typeText.c_str();
  // "#101" names the number 101 for FindResourceA; the enumeration takes the number itself.
  std::optional<uint32_t> number;
  if (nameText.size() > 1 && nameText[0] == '#' &&
      nameText.find_first_not_of("0123456789", 1) == std::string::npos && nameText.size() <= 6) {
    number = static_cast<uint32_t>(std::stoul(nameText.substr(1)));
    if (*number > 0xFFFF) number.reset();
  }
  const LPCSTR resource = number ? MAKEINTRESOURCEA(*number) : nameText.c_str();
  std::vector<uint16_t> languages;
  EnumResourceLanguagesA(
      module, type, resource,
      [](HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param) -> BOOL {
        reinterpret_cast<std::vector<uint16_t>*>(param)->push_back(language);
        return TRUE;
      },
      reinterpret_cast<LONG_PTR>(&languages));
  std::sort(languages.begin(), languages.end());
  return languages;
}

void MarkTruncated(HMODULE module, std::vector<TypeRecord>& types) {
  for (TypeRecord& type : types) {
    for (ItemRecord& item : type.ResourceItems) {
      if (item.Size != 0) continue;
      item.truncated = FindResourceData(module, TypeNumber(type), type.NameLong,
                                        NameArgument(item)) == ResourceData::kBeyondEnd;
    }
  }
}

}  // namespace orvex::cli
