#include "catalogue/bas_q7_resf_files_a.h"

#include "base/runtime_error.h"

namespace orvex {

std::u16string GetFileBaseName(std::u16string_view path) {
  if (path.empty()) return {};
  char16_t separator = path.find(u'/') != std::u16string_view::npos ? u'/' : u'\\';
  size_t slash = path.rfind(separator);
  std::u16string_view name = slash == std::u16string_view::npos ? path : path.substr(slash + 1);
  // Splitting an empty name gives no pieces at all, so there is no first piece to take.
  if (name.empty()) throw RuntimeError(Err::SubscriptOutOfRange);
  return std::u16string(name.substr(0, name.find(u'.')));
}

namespace {

bool IsWordSeparator(char16_t c) {
  return c == 0 || c == u'\t' || c == u'\n' || c == 0x0B || c == 0x0C || c == u'\r' || c == u' ';
}

// Case mapping for ASCII, Latin-1, Latin Extended-A pairs, Greek and Cyrillic.
char16_t ToUpper(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 32);
  if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) return static_cast<char16_t>(c - 32);
  if (c == 0xFF) return 0x178;
  if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 &&
      c != 0x17F) {
    bool oddLower = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (oddLower ? (c % 2 == 0) : (c % 2 == 1)) return static_cast<char16_t>(c - 1);
    return c;
  }
  if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return static_cast<char16_t>(c - 32);
  if (c >= 0x430 && c <= 0x44F) return static_cast<char16_t>(c - 32);
  if (c >= 0x450 && c <= 0x45F) return static_cast<char16_t>(c - 80);
  return c;
}

char16_t ToLower(char16_t c) {
  if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 32);
  if (c == 0x178) return 0xFF;
  if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 &&
      c != 0x17F) {
    bool oddLower = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (oddLower ? (c % 2 == 1) : (c % 2 == 0)) return static_cast<char16_t>(c + 1);
    return c;
  }
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return static_cast<char16_t>(c + 32);
  if (c >= 0x410 && c <= 0x42F) return static_cast<char16_t>(c + 32);
  if (c >= 0x400 && c <= 0x40F) return static_cast<char16_t>(c + 80);
  return c;
}

}  // namespace

std::u16string ProperCase(std::u16string_view text) {
  std::u16string out(text);
  bool wordStart = true;
  for (char16_t& c : out) {
    if (IsWordSeparator(c)) {
      wordStart = true;
      continue;
    }
    c = wordStart ? ToUpper(c) : ToLower(c);
    wordStart = false;
  }
  return out;
}

}  // namespace orvex
