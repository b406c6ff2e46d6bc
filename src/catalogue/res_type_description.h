// The English descriptions of the standard resource type numbers: the one table that type
// records and the command-line client both name types from.
#pragma once

#include <cstdint>
#include <string_view>

namespace orvex {

// The description of type number `n`; every number without one (0, 13, 15, 18, 24 and
// above, negative values) is "User-defined custom resource".
constexpr std::u16string_view ResTypeDescription(int32_t n) {
  switch (n) {
    case 1:
      return u"Hardware-dependent cursor resource";
    case 2:
      return u"Bitmap resource";
    case 3:
      return u"Hardware-dependent icon resource";
    case 4:
      return u"Menu resource";
    case 5:
      return u"Dialog box";
    case 6:
      return u"String-table entry";
    case 7:
      return u"Font directory resource";
    case 8:
      return u"Font resource";
    case 9:
      return u"Accelerator table";
    case 10:
      return u"Application-defined resource (raw data)";
    case 11:
      return u"Message-table entry";
    case 12:
      return u"Hardware-independent cursor resource";
    case 14:
      return u"Hardware-independent icon resource";
    case 16:
      return u"Version resource";
    case 17:
      return u"Header file that contains menu and dialog box #define statements";
    case 19:
      return u"Plug and play resource";
    case 20:
      return u"VXD";
    case 21:
      return u"Animated cursor";
    case 22:
      return u"Animated icon";
    case 23:
      return u"HTML document";
    default:
      return u"User-defined custom resource";
  }
}

}  // namespace orvex
