// Windows-1252 and UTF-8 conversions. Resource names pass through here on every
// enumeration, so both directions are table lookups with an ASCII fast path.
#include "platform/text/text.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace orvex {
namespace {

// The code page's 0x80..0x9F row; the five unassigned bytes map to the C1 control of the
// same value, as the platform's table does.
constexpr std::array<char16_t, 32> kHighRow = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

constexpr std::array<char16_t, 256> MakeAnsiTable() {
  std::array<char16_t, 256> table{};
  for (unsigned i = 0; i < 256; ++i) table[i] = static_cast<char16_t>(i);
  for (unsigned i = 0; i < 32; ++i) table[0x80 + i] = kHighRow[i];
  return table;
}
constexpr std::array<char16_t, 256> kAnsiToUnicode = MakeAnsiTable();

// UTF-16 -> ANSI for every unit up to U+2122, the highest the code page holds: one
// lookup per character ("?" where the code page has no byte).
constexpr char16_t kReverseLimit = 0x2123;

constexpr std::array<char, kReverseLimit> MakeReverseTable() {
  std::array<char, kReverseLimit> table{};
  for (auto& entry : table) entry = '?';
  for (unsigned i = 0; i < 256; ++i) table[kAnsiToUnicode[i]] = static_cast<char>(i);
  return table;
}
constexpr std::array<char, kReverseLimit> kUnicodeToAnsi = MakeReverseTable();

char UnitToAnsi(char16_t unit) {
  return unit < kReverseLimit ? kUnicodeToAnsi[unit] : '?';
}

bool IsHighSurrogate(char16_t u) {
  return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLowSurrogate(char16_t u) {
  return u >= 0xDC00 && u <= 0xDFFF;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

void AppendUtf16(std::u16string& out, char32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<char16_t>(cp));
  } else {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 | (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 | (cp & 0x3FF)));
  }
}

}  // namespace

std::u16string AnsiToUnicode(std::string_view ansi) {
  std::u16string out(ansi.size(), u'\0');
  AnsiToUnicode(ansi, out.data());
  return out;
}

void AnsiToUnicode(std::string_view ansi, char16_t* target) {
  const size_t size = ansi.size();
  const auto* source = reinterpret_cast<const unsigned char*>(ansi.data());
  size_t i = 0;
  // Every byte widens to its own value except 0x80..0x9F. Blocks of eight bytes without a
  // high bit widen through a local block (which the compiler vectorises); the rest goes
  // through the table.
  for (; size - i >= 8; i += 8) {
    uint64_t word;
    std::memcpy(&word, source + i, sizeof word);
    if ((word & 0x8080808080808080ull) != 0) break;
    char16_t block[8];
    for (size_t k = 0; k < 8; ++k) block[k] = source[i + k];
    std::memcpy(target + i, block, sizeof block);
  }
  for (; i < size; ++i) target[i] = kAnsiToUnicode[source[i]];
}

std::string UnicodeToAnsi(std::u16string_view text) {
  // The host is little-endian: the units' own bytes are their little-endian form.
  std::string out;
  AppendUtf16LeToAnsi(out, AsBytes(text.data(), text.size() * 2));
  return out;
}

void AppendUtf16LeToAnsi(std::string& out, Bytes utf16le) {
  const auto* source = reinterpret_cast<const unsigned char*>(utf16le.data());
  const size_t units = utf16le.size() / 2;
  auto unitAt = [source](size_t i) {
    return static_cast<char16_t>(source[2 * i] | source[2 * i + 1] << 8);
  };
  const size_t start = out.size();
  out.resize(start + units);
  char* target = out.data() + start;
  size_t length = 0;
  size_t i = 0;
  while (i < units) {
    // ASCII, the usual content, narrows four units at a time.
    if (units - i >= 4) {
      uint64_t word;
      std::memcpy(&word, source + 2 * i, sizeof word);
      if ((word & 0xFF80FF80FF80FF80ull) == 0) {
        target[length] = static_cast<char>(word);
        target[length + 1] = static_cast<char>(word >> 16);
        target[length + 2] = static_cast<char>(word >> 32);
        target[length + 3] = static_cast<char>(word >> 48);
        i += 4;
        length += 4;
        continue;
      }
    }
    const char16_t unit = unitAt(i);
    // A surrogate pair is one character and becomes one "?".
    if (IsHighSurrogate(unit) && i + 1 < units && IsLowSurrogate(unitAt(i + 1))) ++i;
    target[length++] = UnitToAnsi(unit);
    ++i;
  }
  out.resize(start + length);
}

// Ill-formed sequences become U+FFFD per maximal subpart (each byte that cannot start or
// continue a well-formed sequence yields one replacement), the practice of the Unicode
// standard that common decoders follow.
std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  size_t i = 0;
  const size_t n = utf8.size();
  auto byteAt = [&](size_t k) { return static_cast<unsigned char>(utf8[k]); };
  while (i < n) {
    unsigned char b = byteAt(i);
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    }
    size_t need = 0;
    char32_t cp = 0;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (b >= 0xC2 && b <= 0xDF) {
      need = 1;
      cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
      need = 2;
      cp = b & 0x0F;
      if (b == 0xE0) lo = 0xA0;
      if (b == 0xED) hi = 0x9F;  // no encoded surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
      need = 3;
      cp = b & 0x07;
      if (b == 0xF0) lo = 0x90;
      if (b == 0xF4) hi = 0x8F;
    } else {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    size_t k = 1;
    for (; k <= need; ++k) {
      if (i + k >= n) break;
      unsigned char c = byteAt(i + k);
      unsigned char min = k == 1 ? lo : 0x80, max = k == 1 ? hi : 0xBF;
      if (c < min || c > max) break;
      cp = (cp << 6) | (c & 0x3F);
    }
    if (k <= need) {
      out.push_back(0xFFFD);
      i += k;  // the maximal subpart consumed so far
      continue;
    }
    AppendUtf16(out, cp);
    i += need + 1;
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t unit = text[i];
    if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      char32_t cp = 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
                    (static_cast<char32_t>(text[i + 1]) - 0xDC00);
      AppendUtf8(out, cp);
      ++i;
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      AppendUtf8(out, 0xFFFD);
    } else {
      AppendUtf8(out, unit);
    }
  }
  return out;
}

int lstrlenA(LPCSTR text) {
  if (text == nullptr) return 0;
  return static_cast<int>(std::strlen(text));
}

LPSTR lstrcpyA(LPSTR target, LPCSTR source) {
  if (target == nullptr || source == nullptr) return nullptr;
  std::memmove(target, source, std::strlen(source) + 1);
  return target;
}

}  // namespace orvex
