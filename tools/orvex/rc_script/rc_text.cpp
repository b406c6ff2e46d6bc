#include "rc_script/rc_text.h"

#include <array>
#include <cstdio>
#include <cstring>

#include "platform/text/text.h"

namespace orvex::rc {

namespace {

// Words the compiler reads as keywords, which a bare type or name must not be.
constexpr std::array<std::string_view, 44> kKeywords = {
    "ACCELERATORS", "ALT",         "ANICURSOR",       "ANIICON",
    "ASCII",        "AUTO3STATE",  "BEGIN",           "BITMAP",
    "BLOCK",        "CAPTION",     "CHARACTERISTICS", "CHECKED",
    "CLASS",        "CONTROL",     "CURSOR",          "DIALOG",
    "DIALOGEX",     "DLGINCLUDE",  "DLGINIT",         "END",
    "EXSTYLE",      "FONT",        "FONTDIR",         "GRAYED",
    "HTML",         "ICON",        "LANGUAGE",        "MANIFEST",
    "MENU",         "MENUEX",      "MENUITEM",        "MESSAGETABLE",
    "NOT",          "PLUGPLAY",    "POPUP",           "RCDATA",
    "STRINGTABLE",  "STYLE",       "TOOLBAR",         "VALUE",
    "VERSION",      "VERSIONINFO", "VIRTKEY",         "VXD"};

bool IsKeyword(std::u16string_view word) {
  for (std::string_view keyword : kKeywords) {
    if (keyword.size() != word.size()) continue;
    bool same = true;
    for (size_t i = 0; i < word.size() && same; ++i)
      same = UpperCase(word[i]) == static_cast<char16_t>(keyword[i]);
    if (same) return true;
  }
  return false;
}

bool IsBareWord(std::u16string_view name) {
  if (name.empty() || (name[0] >= u'0' && name[0] <= u'9')) return false;
  for (char16_t c : name) {
    const bool ok = (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_';
    if (!ok) return false;
  }
  return !IsKeyword(name);
}

void AppendHex(std::string& out, unsigned value, int digits) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "%0*X", digits, value);
  out += buffer;
}

}  // namespace

std::string Quote(std::u16string_view text) {
  bool unpaired = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      unpaired = true;
    }
  }
  std::string out = unpaired ? "L\"" : "\"";
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    switch (c) {
      case u'"':
        out += "\"\"";
        continue;
      case u'\\':
        out += "\\\\";
        continue;
      case u'\t':
        out += "\\t";
        continue;
      case u'\n':
        out += "\\n";
        continue;
      case u'\r':
        out += "\\r";
        continue;
      default:
        break;
    }
    if (c < 0x20 || c == 0x7F) {
      out += "\\x";
      AppendHex(out, c, unpaired ? 4 : 2);
    } else if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (unpaired) {
      out += "\\x";
      AppendHex(out, c, 4);
    } else {
      const size_t units = c >= 0xD800 && c <= 0xDBFF ? 2 : 1;
      out += Utf16ToUtf8(text.substr(i, units));
      i += units - 1;
    }
  }
  out += '"';
  return out;
}

std::optional<std::string> NameToken(const Id& id) {
  if (!id.named) return std::to_string(id.number);
  if (IsBareWord(id.name)) return Utf16ToUtf8(id.name);
  // Quoted names are stored in upper case as well: only printable ASCII without lower case
  // and without quotes comes back as it was.
  std::string quoted = "\"";
  for (char16_t c : id.name) {
    if (c < 0x20 || c >= 0x7F || c == u'"' || (c >= u'a' && c <= u'z')) return std::nullopt;
    if (c == u'\\') quoted += '\\';
    quoted += static_cast<char>(c);
  }
  if (id.name.empty()) return std::nullopt;
  return quoted + "\"";
}

std::optional<std::string> TypeToken(const Id& id) {
  if (!id.named) return std::to_string(id.number);
  if (IsBareWord(id.name)) return Utf16ToUtf8(id.name);
  return std::nullopt;
}

std::string IdText(const Id& id) {
  return id.named ? Utf16ToUtf8(id.name) : "#" + std::to_string(id.number);
}

std::string Hex(uint32_t value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%X", value);
  return buffer;
}

std::string LanguageStatement(uint16_t language) {
  return "LANGUAGE " + Hex(language & 0x3FFu) + ", " + Hex(language >> 10u);
}

void Encoder::Word(uint16_t value) {
  bytes_.push_back(static_cast<uint8_t>(value));
  bytes_.push_back(static_cast<uint8_t>(value >> 8));
}

void Encoder::Dword(uint32_t value) {
  Word(static_cast<uint16_t>(value));
  Word(static_cast<uint16_t>(value >> 16));
}

void Encoder::Text(std::u16string_view text) {
  for (char16_t c : text) Word(c);
  Word(0);
}

void Encoder::NameOrOrdinal(bool isOrdinal, uint16_t ordinal, std::u16string_view text) {
  if (isOrdinal) {
    Word(0xFFFF);
    Word(ordinal);
  } else {
    Text(text);
  }
}

void Encoder::Align(size_t alignment) {
  while (bytes_.size() % alignment != 0) bytes_.push_back(0);
}

void Encoder::PatchWord(size_t at, uint16_t value) {
  bytes_[at] = static_cast<uint8_t>(value);
  bytes_[at + 1] = static_cast<uint8_t>(value >> 8);
}

bool SameBytes(const Encoder& encoded, const void* data, size_t size) {
  return encoded.Size() == size &&
         (size == 0 || std::memcmp(encoded.Bytes().data(), data, size) == 0);
}

}  // namespace orvex::rc
