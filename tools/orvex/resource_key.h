// TYPE and NAME as the user gives them on the command line, checked and handed to the
// catalogue's readers as they were written (ResType, ResName); the members' own rules find
// the resource.
//
//   TYPE: a type number from 1 to 65535 ("6"; "#6" names the same type), a standard type
//         name that stands for its number ("STRING", "GROUP_ICON": type_names.h), or the name
//         of a named type ("AVI").
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
  std::u16string resType;  // what ResType receives
  std::u16string resName;  // what ResName receives
  // The number a numbered TYPE ("6", "#6", "STRING") stands for, to find it in the listing;
  // nothing for the name of a named type.
  std::optional<uint32_t> typeNumber;
};

// Throws CliError naming the argument when it cannot be read: empty, a number out of
// range, "#" not followed by a number, or characters outside the ANSI code page.
ResourceKey ParseResourceKey(std::string_view type, std::string_view name);

// "no WHAT named NAME in FILE", with a hint to write "#" when NAME is bare digits.
std::string NoResourceMessage(const std::string& what, const std::string& name,
                              const std::string& file);

}  // namespace orvex::cli
