// The words of an MCI command string and the keyword rule, shared by the command layer
// and its devices.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvex {

// Keywords and aliases compare without regard to case (ASCII letters).
bool SameKeyword(std::string_view a, std::string_view b);
// Words separated by spaces and tabs; a word in double quotes keeps its spaces. nullopt
// when a quote is not closed.
std::optional<std::vector<std::string>> SplitMciWords(std::string_view command);
// A decimal integer (with an optional minus sign) that fits 32 bits.
std::optional<int32_t> ParseMciInteger(std::string_view word);

}  // namespace orvex
