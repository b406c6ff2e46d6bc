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
    {1, "CURSOR"},      {2, "BITMAP"},       {3, "ICON"},          {4, "MENU"},
    {5, "DIALOG"},      {6, "STRING"},       {7, "FONTDIR"},       {8, "FONT"},
    {9, "ACCELERATOR"}, {10, "RCDATA"},      {11, "MESSAGETABLE"}, {12, "GROUP_CURSOR"},
    {14, "GROUP_ICON"}, {16, "VERSION"},     {17, "DLGINCLUDE"},   {19, "PLUGPLAY"},
    {20, "VXD"},        {21, "ANICURSOR"},   {22, "ANIICON"},      {23, "HTML"},
    {24, "MANIFEST"},   {9, "ACCELERATORS"}, {6, "STRINGTABLE"},   {16, "VERSIONINFO"},
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
