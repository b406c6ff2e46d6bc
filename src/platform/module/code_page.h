// The Windows-1252 conversions and case folding that resource names need. Kept private to
// the module layer so it does not depend on the text library's progress.
#pragma once

#include <string>
#include <string_view>

namespace orvex::code_page {

// One UTF-16 unit for every byte (0x81, 0x8D, 0x8F, 0x90, 0x9D map to themselves).
char16_t AnsiToUnit(unsigned char byte);
// The code page's byte for a unit, or '?' when it has none.
char UnitToAnsi(char16_t unit);
std::u16string AnsiToUnicode(std::string_view text);

// Upper case for the letters the code page holds; resource names compare in this form.
char16_t Fold(char16_t unit);

}  // namespace orvex::code_page
