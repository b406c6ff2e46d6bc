// The languages a resource lookup without a language tries in turn, as the platform does:
// neutral (0x0000), the thread's UI language, its primary language with the neutral
// sublanguage, English (United States), English; the lowest stored comes after them.
#pragma once

#include <array>

#include "platform/win32_types.h"

namespace orvex {

constexpr std::array<WORD, 5> PreferredResourceLanguages(WORD uiLanguage) {
  return {WORD{0x0000}, uiLanguage, static_cast<WORD>(uiLanguage & 0x3FF), WORD{0x0409},
          WORD{0x0009}};
}

}  // namespace orvex
