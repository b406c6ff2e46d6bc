#include "renderers/hex_dump_lines.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "platform/text/text.h"

namespace orvex {
namespace {

constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";

// What each byte shows in the character column: "." below 0x20, otherwise its character in
// the ANSI code page. Built once from the platform's conversion.
const std::array<char16_t, 256>& CharacterColumn() {
  static const std::array<char16_t, 256> table = [] {
    std::string all(256, '\0');
    for (size_t b = 0; b < 256; ++b) all[b] = static_cast<char>(b);
    const std::u16string converted = AnsiToUnicode(all);
    std::array<char16_t, 256> out{};
    for (size_t b = 0; b < 256; ++b) {
      out[b] = b < 0x20 || b >= converted.size() ? u'.' : converted[b];
    }
    return out;
  }();
  return table;
}

// Each byte's hexadecimal column: two uppercase digits and a blank.
struct HexColumn {
  char16_t text[3];
};
const std::array<HexColumn, 256>& HexColumns() {
  static const std::array<HexColumn, 256> table = [] {
    std::array<HexColumn, 256> out{};
    for (size_t b = 0; b < 256; ++b) out[b] = {{kHexDigits[b >> 4], kHexDigits[b & 0xF], u' '}};
    return out;
  }();
  return table;
}

// Writes line `line` of the dump into its 79 characters at `out`; the line's offset column
// counts from `firstOffset`.
void RenderLine(Bytes data, size_t line, size_t firstOffset, const std::array<char16_t, 256>& chars,
                const std::array<HexColumn, 256>& hex, char16_t* out) {
  const size_t offset = line * kHexDumpBytesPerLine;
  const size_t shown = firstOffset + offset;
  for (int digit = 7; digit >= 0; --digit) {
    *out++ = kHexDigits[(shown >> (digit * 4)) & 0xF];
  }
  *out++ = u' ';
  *out++ = u'|';
  *out++ = u' ';
  const size_t count = std::min(kHexDumpBytesPerLine, data.size() - offset);
  const Bytes bytes = data.subspan(offset, count);
  char16_t* charColumn = out + 3 * kHexDumpBytesPerLine + 2;
  for (size_t i = 0; i < count; ++i) {
    const auto value = static_cast<uint8_t>(bytes[i]);
    std::memcpy(out + 3 * i, hex[value].text, sizeof(HexColumn));
    charColumn[i] = chars[value];
  }
  // Positions past the last byte.
  for (size_t i = count; i < kHexDumpBytesPerLine; ++i) {
    out[3 * i] = out[3 * i + 1] = out[3 * i + 2] = u' ';
    charColumn[i] = u'.';
  }
  out += 3 * kHexDumpBytesPerLine;
  out[0] = u'|';
  out[1] = u' ';
  charColumn[kHexDumpBytesPerLine] = u'\r';
  charColumn[kHexDumpBytesPerLine + 1] = u'\n';
}

}  // namespace

void RenderHexDumpInto(Bytes data, size_t firstOffset, char16_t* out) {
  if (data.empty()) return;
  const auto& chars = CharacterColumn();
  const auto& hex = HexColumns();
  const size_t lines = (data.size() - 1) / kHexDumpBytesPerLine + 1;
  for (size_t k = 0; k < lines; ++k, out += kHexDumpLineLength)
    RenderLine(data, k, firstOffset, chars, hex, out);
}

std::u16string RenderHexDump(Bytes data, size_t firstOffset) {
  std::u16string text(HexDumpLength(data.size()), u'\0');
  RenderHexDumpInto(data, firstOffset, text.data());
  return text;
}

}  // namespace orvex
