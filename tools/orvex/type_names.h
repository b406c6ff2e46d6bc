// The standard resource types of the client: their numbers, and their names as resource
// scripts write them (ICON, STRING, GROUP_ICON, ...). Commands and the web API take a name
// from this table wherever they take a type number.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace orvex::cli {

inline constexpr uint16_t kTypeCursor = 1;
inline constexpr uint16_t kTypeBitmap = 2;
inline constexpr uint16_t kTypeIcon = 3;
inline constexpr uint16_t kTypeMenu = 4;
inline constexpr uint16_t kTypeDialog = 5;
inline constexpr uint16_t kTypeString = 6;
inline constexpr uint16_t kTypeAccelerator = 9;
inline constexpr uint16_t kTypeMessageTable = 11;
inline constexpr uint16_t kTypeGroupCursor = 12;
inline constexpr uint16_t kTypeGroupIcon = 14;
inline constexpr uint16_t kTypeVersion = 16;

// The number of a standard type name, in any case, with or without the "RT_" prefix of the
// platform's constants ("icon", "RT_ICON"); the script keywords ACCELERATORS, STRINGTABLE
// and VERSIONINFO too. Nothing for other names.
std::optional<uint16_t> StandardTypeNumber(std::string_view name);

// The name of a standard type number ("ICON" for 3), or null.
const char* StandardTypeName(uint32_t number);

}  // namespace orvex::cli
