// Lists a module through the platform's enumeration functions as "type|name|language|size"
// lines: numbers as decimal, names as text. Shared by the module tests.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "platform/module/module.h"

namespace orvex::test {

inline std::string IdText(LPCSTR id) {
  if (IS_INTRESOURCE(id)) return std::to_string(reinterpret_cast<uintptr_t>(id));
  return id;
}

struct ListState {
  std::vector<std::string> lines;
  HMODULE module = 0;
};

inline std::vector<std::string> ListResources(HMODULE module) {
  ListState state{{}, module};
  EnumResourceTypesA(
      module,
      [](HMODULE m, LPSTR type, LONG_PTR param) -> BOOL {
        EnumResourceNamesA(
            m, type,
            [](HMODULE m2, LPCSTR t, LPSTR name, LONG_PTR p) -> BOOL {
              EnumResourceLanguagesA(
                  m2, t, name,
                  [](HMODULE m3, LPCSTR t3, LPCSTR n3, WORD language, LONG_PTR p3) -> BOOL {
                    HRSRC found = FindResourceExA(m3, t3, n3, language);
                    char lang[8];
                    std::snprintf(lang, sizeof lang, "%04X", language);
                    reinterpret_cast<ListState*>(p3)->lines.push_back(
                        IdText(t3) + "|" + IdText(n3) + "|" + lang + "|" +
                        std::to_string(SizeofResource(m3, found)));
                    return TRUE;
                  },
                  p);
              return TRUE;
            },
            param);
        return TRUE;
      },
      reinterpret_cast<LONG_PTR>(&state));
  return state.lines;
}

}  // namespace orvex::test
