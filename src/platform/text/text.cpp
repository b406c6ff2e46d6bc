// Windows-1252 and UTF-8 conversions and the case tables. Resource names pass through here
// on every enumeration and lookup, so conversions and case are table lookups, and the
// conversions have an ASCII fast path.
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

// Small letters in runs: `first`, `first + step`, ... up to `last`, each with its capital at
// `delta` from it. Unicode's simple case pairs whose small letter lies below U+0530, where
// the two letters map to each other; these are the pairs the platform's resource lookup
// folds in that range.
struct CaseRun {
  char16_t first;
  char16_t last;
  uint8_t step;
  int32_t delta;
};
constexpr CaseRun kCaseRuns[] = {
    // Basic Latin, Latin-1 Supplement, Latin Extended-A
    {0x0061, 0x007A, 1, -32},
    {0x00E0, 0x00F6, 1, -32},
    {0x00F8, 0x00FE, 1, -32},
    {0x00FF, 0x00FF, 1, 121},
    {0x0101, 0x012F, 2, -1},
    {0x0133, 0x0137, 2, -1},
    {0x013A, 0x0148, 2, -1},
    {0x014B, 0x0177, 2, -1},
    {0x017A, 0x017E, 2, -1},
    // Latin Extended-B
    {0x0180, 0x0180, 1, 195},
    {0x0183, 0x0185, 2, -1},
    {0x0188, 0x0188, 1, -1},
    {0x018C, 0x018C, 1, -1},
    {0x0192, 0x0192, 1, -1},
    {0x0195, 0x0195, 1, 97},
    {0x0199, 0x0199, 1, -1},
    {0x019A, 0x019A, 1, 163},
    {0x019E, 0x019E, 1, 130},
    {0x01A1, 0x01A5, 2, -1},
    {0x01A8, 0x01A8, 1, -1},
    {0x01AD, 0x01AD, 1, -1},
    {0x01B0, 0x01B0, 1, -1},
    {0x01B4, 0x01B6, 2, -1},
    {0x01B9, 0x01B9, 1, -1},
    {0x01BD, 0x01BD, 1, -1},
    {0x01BF, 0x01BF, 1, 56},
    {0x01C6, 0x01C6, 1, -2},
    {0x01C9, 0x01C9, 1, -2},
    {0x01CC, 0x01CC, 1, -2},
    {0x01CE, 0x01DC, 2, -1},
    {0x01DD, 0x01DD, 1, -79},
    {0x01DF, 0x01EF, 2, -1},
    {0x01F3, 0x01F3, 1, -2},
    {0x01F5, 0x01F5, 1, -1},
    {0x01F9, 0x021F, 2, -1},
    {0x0223, 0x0233, 2, -1},
    {0x023C, 0x023C, 1, -1},
    {0x023F, 0x0240, 1, 10815},
    {0x0242, 0x0242, 1, -1},
    {0x0247, 0x024F, 2, -1},
    // IPA Extensions: capitals added later, some above U+052F
    {0x0250, 0x0250, 1, 10783},
    {0x0251, 0x0251, 1, 10780},
    {0x0252, 0x0252, 1, 10782},
    {0x0253, 0x0253, 1, -210},
    {0x0254, 0x0254, 1, -206},
    {0x0256, 0x0257, 1, -205},
    {0x0259, 0x0259, 1, -202},
    {0x025B, 0x025B, 1, -203},
    {0x025C, 0x025C, 1, 42319},
    {0x0260, 0x0260, 1, -205},
    {0x0261, 0x0261, 1, 42315},
    {0x0263, 0x0263, 1, -207},
    {0x0265, 0x0265, 1, 42280},
    {0x0266, 0x0266, 1, 42308},
    {0x0268, 0x0268, 1, -209},
    {0x0269, 0x0269, 1, -211},
    {0x026A, 0x026A, 1, 42308},
    {0x026B, 0x026B, 1, 10743},
    {0x026C, 0x026C, 1, 42305},
    {0x026F, 0x026F, 1, -211},
    {0x0271, 0x0271, 1, 10749},
    {0x0272, 0x0272, 1, -213},
    {0x0275, 0x0275, 1, -214},
    {0x027D, 0x027D, 1, 10727},
    {0x0280, 0x0280, 1, -218},
    {0x0282, 0x0282, 1, 42307},
    {0x0283, 0x0283, 1, -218},
    {0x0287, 0x0287, 1, 42282},
    {0x0288, 0x0288, 1, -218},
    {0x0289, 0x0289, 1, -69},
    {0x028A, 0x028B, 1, -217},
    {0x028C, 0x028C, 1, -71},
    {0x0292, 0x0292, 1, -219},
    {0x029D, 0x029D, 1, 42261},
    {0x029E, 0x029E, 1, 42258},
    // Greek and Coptic
    {0x0371, 0x0373, 2, -1},
    {0x0377, 0x0377, 1, -1},
    {0x037B, 0x037D, 1, 130},
    {0x03AC, 0x03AC, 1, -38},
    {0x03AD, 0x03AF, 1, -37},
    {0x03B1, 0x03C1, 1, -32},
    {0x03C3, 0x03CB, 1, -32},
    {0x03CC, 0x03CC, 1, -64},
    {0x03CD, 0x03CE, 1, -63},
    {0x03D7, 0x03D7, 1, -8},
    {0x03D9, 0x03EF, 2, -1},
    {0x03F2, 0x03F2, 1, 7},
    {0x03F3, 0x03F3, 1, -116},
    {0x03F8, 0x03F8, 1, -1},
    {0x03FB, 0x03FB, 1, -1},
    // Cyrillic, Cyrillic Supplement
    {0x0430, 0x044F, 1, -32},
    {0x0450, 0x045F, 1, -80},
    {0x0461, 0x0481, 2, -1},
    {0x048B, 0x04BF, 2, -1},
    {0x04C2, 0x04CE, 2, -1},
    {0x04CF, 0x04CF, 1, -15},
    {0x04D1, 0x052F, 2, -1},
};

struct CaseTables {
  std::array<char16_t, kCaseMappedLimit> upper{};
  std::array<char16_t, kCaseMappedLimit> lower{};
};

constexpr CaseTables MakeCaseTables() {
  CaseTables tables;
  for (unsigned i = 0; i < kCaseMappedLimit; ++i)
    tables.upper[i] = tables.lower[i] = static_cast<char16_t>(i);
  for (const CaseRun& run : kCaseRuns) {
    for (unsigned small = run.first; small <= run.last; small += run.step) {
      const auto capital = static_cast<char16_t>(static_cast<int32_t>(small) + run.delta);
      tables.upper[small] = capital;
      if (capital < kCaseMappedLimit) tables.lower[capital] = static_cast<char16_t>(small);
    }
  }
  return tables;
}
constexpr CaseTables kCaseTables = MakeCaseTables();

char UnitToAnsi(char16_t unit) {
  return unit < kReverseLimit ? kUnicodeToAnsi[unit] : '?';
}

bool IsHighSurrogate(char16_t u) {
  return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLowSurrogate(char16_t u) {
  return u >= 0xDC00 && u <= 0xDFFF;
}

// UTF-16 given as `units` little-endian units at `source` (any alignment) to ANSI at
// `target`; returns the bytes written.
size_t NarrowUtf16Le(const unsigned char* source, size_t units, char* target) {
  auto unitAt = [source](size_t i) {
    return static_cast<char16_t>(source[2 * i] | source[2 * i + 1] << 8);
  };
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
  return length;
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

namespace text_detail {
const std::array<char16_t, kCaseMappedLimit> kUpperCase = kCaseTables.upper;
const std::array<char16_t, kCaseMappedLimit> kLowerCase = kCaseTables.lower;
}  // namespace text_detail

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
  std::string out(text.size(), '\0');
  out.resize(UnicodeToAnsi(text, out.data()));
  return out;
}

size_t UnicodeToAnsi(std::u16string_view text, char* target) {
  // The host is little-endian: the units' own bytes are their little-endian form.
  return NarrowUtf16Le(reinterpret_cast<const unsigned char*>(text.data()), text.size(), target);
}

void AppendUtf16LeToAnsi(std::string& out, Bytes utf16le) {
  const size_t start = out.size();
  out.resize(start + utf16le.size() / 2);
  const size_t length = NarrowUtf16Le(reinterpret_cast<const unsigned char*>(utf16le.data()),
                                      utf16le.size() / 2, out.data() + start);
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

bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i] && UpperCase(a[i]) != UpperCase(b[i])) return false;
  return true;
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
