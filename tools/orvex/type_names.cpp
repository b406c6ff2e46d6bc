#include "type_names.h"

#include <algorithm>
#include <cctype>

namespace orvex::cli {

namespace {

struct TypeName {
  uint16_t number;
  const char* name;
};

// The first row of a number gives its name; later rows are other spellings of it.
constexpr TypeName kTypeNames[] = {
    {kTypeCursor, "CURSOR"},
    {kTypeBitmap, "BITMAP"},
    {kTypeIcon, "ICON"},
    {kTypeMenu, "MENU"},
    {kTypeDialog, "DIALOG"},
    {kTypeString, "STRING"},
    {7, "FONTDIR"},
    {8, "FONT"},
    {kTypeAccelerator, "ACCELERATOR"},
    {10, "RCDATA"},
    {kTypeMessageTable, "MESSAGETABLE"},
    {kTypeGroupCursor, "GROUP_CURSOR"},
    {kTypeGroupIcon, "GROUP_ICON"},
    {kTypeVersion, "VERSION"},
    {17, "DLGINCLUDE"},
    {19, "PLUGPLAY"},
    {20, "VXD"},
    {21, "ANICURSOR"},
    {22, "ANIICON"},
    {23, "HTML"},
    {24, "MANIFEST"},
    {kTypeAccelerator, "ACCELERATORS"},
    {kTypeString, "STRINGTABLE"},
    {kTypeVersion, "VERSIONINFO"},
};

bool SameLetters(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) ==
                  std::toupper(static_cast<unsigned char>(y));
         });
}

}  // namespace

std::optional<uint16_t> StandardTypeNumber(std::string_view name) {
  if (name.size() > 3 && SameLetters(name.substr(0, 3), "RT_")) name.remove_prefix(3);
  for (const TypeName& row : kTypeNames) {
    if (SameLetters(name, row.name)) return row.number;
  }
  return std::nullopt;
}

const char* StandardTypeName(uint32_t number) {
  for (const TypeName& row : kTypeNames) {
    if (row.number == number) return row.name;
  }
  return nullptr;
}

}  // namespace orvex::cli
