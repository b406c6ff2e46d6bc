// The braced text form of GUIDs, shared by both backends.
#include <cctype>
#include <cstdio>
#include <string>

#include "platform/ole/types.h"

namespace orvex {

std::string GuidToString(const GUID& g) {
  char text[39];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.Data1,
                g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4],
                g.Data4[5], g.Data4[6], g.Data4[7]);
  return text;
}

bool GuidFromString(std::string_view text, GUID* guid) {
  if (text.size() != 38 || text[0] != '{' || text[37] != '}') return false;
  for (size_t i = 1; i < 37; ++i) {
    char c = text[i];
    bool dash = i == 9 || i == 14 || i == 19 || i == 24;
    if (dash ? c != '-' : !std::isxdigit(static_cast<unsigned char>(c))) return false;
  }
  std::string copy(text);
  *guid = MakeGuid(copy.c_str());
  return true;
}

}  // namespace orvex
