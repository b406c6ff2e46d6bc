// The system ANSI code page (Windows-1252) and the string functions of the platform.
#pragma once

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
// UnicodeToAnsi appended to `out`, for UTF-16 text given as its little-endian bytes at any
// alignment (an odd last byte is ignored).
void AppendUtf16LeToAnsi(std::string& out, Bytes utf16le);

// UTF-8 <-> UTF-16 for the command line and tests (ill-formed input becomes U+FFFD).
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view text);

int lstrlenA(LPCSTR text);                    // 0 for null
LPSTR lstrcpyA(LPSTR target, LPCSTR source);  // null when either is null

}  // namespace orvex
