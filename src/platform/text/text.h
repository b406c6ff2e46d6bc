// The system ANSI code page (Windows-1252), UTF-8, the case rule of resource names, and the
// string functions of the platform.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "base/byte_reader.h"
#include "platform/win32_types.h"

namespace orvex {

// ANSI (Windows-1252) to UTF-16: every byte maps to one unit (0x81, 0x8D, 0x8F, 0x90 and
// 0x9D to the control characters of the same value).
std::u16string AnsiToUnicode(std::string_view ansi);
// AnsiToUnicode into `target`, which holds at least ansi.size() units.
void AnsiToUnicode(std::string_view ansi, char16_t* target);
// UTF-16 to ANSI: characters the code page cannot represent become "?".
std::string UnicodeToAnsi(std::u16string_view text);
// UnicodeToAnsi into `target`, which holds at least text.size() bytes; returns the bytes
// written (no terminator).
size_t UnicodeToAnsi(std::u16string_view text, char* target);
// UnicodeToAnsi appended to `out`, for UTF-16 text given as its little-endian bytes at any
// alignment (an odd last byte is ignored).
void AppendUtf16LeToAnsi(std::string& out, Bytes utf16le);

// UTF-8 <-> UTF-16 for the command line and tests (ill-formed input becomes U+FFFD).
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view text);

// Case. Resource names, version keys and record names match without regard to case as the
// platform matches resource names: both sides in upper case. The mapping is Unicode's simple
// case pairs whose small letter lies in U+0000..U+052F (Basic Latin through Cyrillic
// Supplement), kept only where the two letters map to each other. A letter without such a
// partner keeps its case, as on the platform: U+00B5, U+00DF, U+0130, U+0131, U+017F, the
// title-case digraphs U+01C5, U+01C8, U+01CB, U+01F2, and Greek U+03C2, U+03D0, U+03D1,
// U+03D5, U+03D6, U+03F0, U+03F1, U+03F4, U+03F5. Other units keep their case (the two
// capitals of Latin Extended-B whose small letters came later, U+023A and U+023E, too).
inline constexpr char16_t kCaseMappedLimit = 0x530;

namespace text_detail {
extern const std::array<char16_t, kCaseMappedLimit> kUpperCase;
extern const std::array<char16_t, kCaseMappedLimit> kLowerCase;
}  // namespace text_detail

// The unit in upper case: the form in which resource names compare.
inline char16_t UpperCase(char16_t unit) {
  return unit < kCaseMappedLimit ? text_detail::kUpperCase[unit] : unit;
}
// The inverse of UpperCase, for proper case.
inline char16_t LowerCase(char16_t unit) {
  return unit < kCaseMappedLimit ? text_detail::kLowerCase[unit] : unit;
}
bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b);

int lstrlenA(LPCSTR text);                    // 0 for null
LPSTR lstrcpyA(LPSTR target, LPCSTR source);  // null when either is null

}  // namespace orvex
