// The English descriptions of the standard resource type numbers: the one table that type
// records and the command-line client both name types from.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/module/resource_types.h"

namespace orvex {

// The description of type number `n`; every number without one (0, 13, 15, 18, 24 and
// above, negative values) is "User-defined custom resource".
constexpr std::u16string_view ResTypeDescription(int32_t n) {
  switch (n) {
    case RT_CURSOR:
      return u"Hardware-dependent cursor resource";
    case RT_BITMAP:
      return u"Bitmap resource";
    case RT_ICON:
      return u"Hardware-dependent icon resource";
    case RT_MENU:
      return u"Menu resource";
    case RT_DIALOG:
      return u"Dialog box";
    case RT_STRING:
      return u"String-table entry";
    case RT_FONTDIR:
      return u"Font directory resource";
    case RT_FONT:
      return u"Font resource";
    case RT_ACCELERATOR:
      return u"Accelerator table";
    case RT_RCDATA:
      return u"Application-defined resource (raw data)";
    case RT_MESSAGETABLE:
      return u"Message-table entry";
    case RT_GROUP_CURSOR:
      return u"Hardware-independent cursor resource";
    case RT_GROUP_ICON:
      return u"Hardware-independent icon resource";
    case RT_VERSION:
      return u"Version resource";
    case RT_DLGINCLUDE:
      return u"Header file that contains menu and dialog box #define statements";
    case RT_PLUGPLAY:
      return u"Plug and play resource";
    case RT_VXD:
      return u"VXD";
    case RT_ANICURSOR:
      return u"Animated cursor";
    case RT_ANIICON:
      return u"Animated icon";
    case RT_HTML:
      return u"HTML document";
    default:
      return u"User-defined custom resource";
  }
}

}  // namespace orvex
