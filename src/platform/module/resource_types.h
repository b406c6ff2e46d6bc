// The platform's standard resource types: the numbers the resource directory stores for
// them (the platform's RT_MENU is MAKEINTRESOURCEA(RT_MENU)) and the names its headers give
// them. Every layer names a type number through these.
#pragma once

#include <cstdint>

namespace orvex {

enum ResourceType : int32_t {
  RT_CURSOR = 1,
  RT_BITMAP = 2,
  RT_ICON = 3,
  RT_MENU = 4,
  RT_DIALOG = 5,
  RT_STRING = 6,
  RT_FONTDIR = 7,
  RT_FONT = 8,
  RT_ACCELERATOR = 9,
  RT_RCDATA = 10,
  RT_MESSAGETABLE = 11,
  RT_GROUP_CURSOR = 12,
  RT_GROUP_ICON = 14,
  RT_VERSION = 16,
  RT_DLGINCLUDE = 17,
  RT_PLUGPLAY = 19,
  RT_VXD = 20,
  RT_ANICURSOR = 21,
  RT_ANIICON = 22,
  RT_HTML = 23,
};

// A constant as the platform's headers name it.
struct NamedValue {
  const char* name;
  int32_t value;
};

// Every standard type with its name, in number order.
inline constexpr NamedValue kResourceTypeNames[] = {
    {"RT_CURSOR", RT_CURSOR},
    {"RT_BITMAP", RT_BITMAP},
    {"RT_ICON", RT_ICON},
    {"RT_MENU", RT_MENU},
    {"RT_DIALOG", RT_DIALOG},
    {"RT_STRING", RT_STRING},
    {"RT_FONTDIR", RT_FONTDIR},
    {"RT_FONT", RT_FONT},
    {"RT_ACCELERATOR", RT_ACCELERATOR},
    {"RT_RCDATA", RT_RCDATA},
    {"RT_MESSAGETABLE", RT_MESSAGETABLE},
    {"RT_GROUP_CURSOR", RT_GROUP_CURSOR},
    {"RT_GROUP_ICON", RT_GROUP_ICON},
    {"RT_VERSION", RT_VERSION},
    {"RT_DLGINCLUDE", RT_DLGINCLUDE},
    {"RT_PLUGPLAY", RT_PLUGPLAY},
    {"RT_VXD", RT_VXD},
    {"RT_ANICURSOR", RT_ANICURSOR},
    {"RT_ANIICON", RT_ANIICON},
    {"RT_HTML", RT_HTML},
};

}  // namespace orvex
