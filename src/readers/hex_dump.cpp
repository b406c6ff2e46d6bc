#include "readers/hex_dump.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "platform/text/text.h"
#include "readers/reader_errors.h"

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

// Writes line `line` of the dump into its 79 characters at `out`.
void RenderLine(Bytes data, size_t line, const std::array<char16_t, 256>& chars, char16_t* out) {
  const size_t offset = line * kHexDumpBytesPerLine;
  for (int digit = 7; digit >= 0; --digit) {
    *out++ = kHexDigits[(offset >> (digit * 4)) & 0xF];
  }
  *out++ = u' ';
  *out++ = u'|';
  *out++ = u' ';
  const size_t count = std::min(kHexDumpBytesPerLine, data.size() - offset);
  const Bytes bytes = data.subspan(offset, count);
  char16_t* charColumn = out + 3 * kHexDumpBytesPerLine + 2;
  for (size_t i = 0; i < kHexDumpBytesPerLine; ++i) {
    if (i < count) {
      const auto value = static_cast<uint8_t>(bytes[i]);
      out[0] = kHexDigits[value >> 4];
      out[1] = kHexDigits[value & 0xF];
      out[2] = u' ';
      charColumn[i] = chars[value];
    } else {
      out[0] = out[1] = out[2] = u' ';
      charColumn[i] = u'.';
    }
    out += 3;
  }
  out[0] = u'|';
  out[1] = u' ';
  charColumn[kHexDumpBytesPerLine] = u'\r';
  charColumn[kHexDumpBytesPerLine + 1] = u'\n';
}

void RenderInto(Bytes data, std::u16string& text) {
  const auto& chars = CharacterColumn();
  const size_t lines = text.size() / kHexDumpLineLength;
  for (size_t line = 0; line < lines; ++line) {
    RenderLine(data, line, chars, text.data() + line * kHexDumpLineLength);
  }
}

}  // namespace

std::u16string RenderHexDump(Bytes data) {
  if (data.empty()) return {};
  std::u16string text(HexDumpLength(data.size()), u' ');
  RenderInto(data, text);
  return text;
}

std::u16string GetHexDump(Bytes data, StepRunner& steps) {
  std::u16string text;
  steps([&] { readers::RequireBytes(data.size()); });
  const bool reserved = steps([&] {
    if (data.empty()) readers::ThrowSubscriptOutOfRange();  // no upper bound to count from
    text.assign(HexDumpLength(data.size()), u' ');
  });
  if (!reserved || text.size() > kHexDumpMaxLength) return text;
  // From here on a failure is skipped without a report; rendering sound bytes cannot fail.
  RenderInto(data, text);
  return text;
}

}  // namespace orvex
