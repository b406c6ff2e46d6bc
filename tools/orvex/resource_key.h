// TYPE and NAME as the user gives them on the command line, checked and converted into the
// texts the catalogue's readers take (ResType, ResName).
//
//   TYPE: a type number from 1 to 65535 ("6"; "#6" is read the same) or a type name ("AVI").
//   NAME: "#" and a number from 0 to 65535 ("#101"), or a name ("CONFIG"); a bare "101" is
//         the name "101", as the platform reads it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvex::cli {

struct ResourceKey {
  std::string typeText;  // as given, for messages
  std::string nameText;
  std::u16string resType;              // what ResType receives: digits or the type name
  std::u16string resName;              // what ResName receives
  std::optional<uint16_t> typeNumber;  // set for numbered types
};

// Throws CliError naming the argument when it cannot be read: empty, a number out of
// range, "#" not followed by a number, or characters outside the ANSI code page.
ResourceKey ParseResourceKey(std::string_view type, std::string_view name);

}  // namespace orvex::cli
