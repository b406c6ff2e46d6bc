// The names of the standard resource types, as resource scripts write them (ICON, STRING,
// GROUP_ICON, ...), with their numbers. Commands and the web API take a name from this table
// wherever they take a type number.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace orvex::cli {

// The number of a standard type name, in any case, with or without the "RT_" prefix of the
// platform's constants ("icon", "RT_ICON"); the script keywords ACCELERATORS, STRINGTABLE
// and VERSIONINFO too. Nothing for other names.
std::optional<uint16_t> StandardTypeNumber(std::string_view name);

// The name of a standard type number ("ICON" for 3), or null.
const char* StandardTypeName(uint32_t number);

}  // namespace orvex::cli
