// Path helpers of the catalogue.
#pragma once

#include <string>
#include <string_view>

namespace orvex {

// The file's name without folder and extension: the separator is "/" when the path holds
// one, else "\"; the result is the last piece's text before its first ".". Empty for an
// empty path; Err::SubscriptOutOfRange when the path ends with the
// separator.
std::u16string GetFileBaseName(std::u16string_view path);

// Proper case: in each word the first letter upper case, the others lower case; words are
// separated by NUL, tab, line feed, vertical tab, form feed, carriage return and space.
std::u16string ProperCase(std::u16string_view text);

}  // namespace orvex
