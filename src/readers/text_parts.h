// Small text pieces the renderers share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orvex::readers {

// Decimal digits of a signed 32-bit value.
std::u16string Decimal(int64_t value);

// Room for the decimal digits of any 64-bit value and its sign.
inline constexpr size_t kDecimalCapacity = 20;

// Writes the decimal digits of `value` backwards so that they end at `end` (which has at
// least kDecimalCapacity units before it); returns where they begin.
char16_t* DecimalBefore(char16_t* end, int64_t value);

// Appends the decimal digits of a signed value.
void AppendDecimal(std::u16string& out, int64_t value);

// An entry line's text: the identifier in decimal, ": " and the text.
std::u16string Entry(int32_t id, std::u16string_view text);

// Appends what TrimAtNull(NormalizeLineBreaks(Entry(id, text))) gives, in one pass: the
// identifier, ": ", and the text up to its first NUL with every LF that does not follow a
// CR written as CR LF.
void AppendEntry(std::u16string& out, int32_t id, std::u16string_view text);

// The text before its first NUL character, or all of it.
std::u16string TrimAtNull(std::u16string text);

// A number given as text, as a signed 32-bit value: optional blanks around an optional sign
// and decimal digits. Throws Err::TypeMismatch for other text and Err::Overflow
// when it overflows.
int32_t ParseLong(std::u16string_view text);

}  // namespace orvex::readers
