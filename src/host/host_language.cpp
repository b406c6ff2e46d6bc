#include "host/host_language.h"

#include <string>

namespace orvex::host {

std::optional<LANGID> ParseUiLanguage(std::string_view text) {
  std::string_view digits = text;
  if (digits.starts_with("0x") || digits.starts_with("0X")) digits.remove_prefix(2);
  if (!digits.empty() && digits.size() <= 4 &&
      digits.find_first_not_of("0123456789abcdefABCDEF") == std::string_view::npos) {
    const auto language = static_cast<LANGID>(std::stoul(std::string(digits), nullptr, 16));
    if (language != 0) return language;
    return std::nullopt;
  }
  if (text.empty() || text.size() > 84) return std::nullopt;
  std::u16string name;
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return std::nullopt;
    name += static_cast<char16_t>(c);
  }
  const LCID lcid = LocaleNameToLCID(name.c_str(), LOCALE_ALLOW_NEUTRAL_NAMES);
  if (lcid == 0 || lcid == 0x007F) return std::nullopt;
  return static_cast<LANGID>(lcid & 0xFFFF);
}

bool SetUiLanguage(std::string_view text) {
  const std::optional<LANGID> language = ParseUiLanguage(text);
  if (!language) return false;
  SetThreadUILanguage(*language);
  return true;
}

}  // namespace orvex::host
