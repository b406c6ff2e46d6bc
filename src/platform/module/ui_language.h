// The thread's UI language, which the resource functions follow when they choose among a
// resource's languages (module.h), and the locale names that name languages.
#pragma once

#include "platform/win32_types.h"

namespace orvex {

using LANGID = WORD;
using LCID = DWORD;

// LocaleNameToLCID's flag that lets "de" name the neutral German (0x0007) instead of the
// default German locale (0x0407).
inline constexpr DWORD LOCALE_ALLOW_NEUTRAL_NAMES = 0x08000000;

// Sets the calling thread's UI language and returns it; 0 returns to the default (0x0409 on
// the stand-in) and returns that.
LANGID SetThreadUILanguage(LANGID language);
// The calling thread's UI language: the one set last, else the default.
LANGID GetThreadUILanguage();

// The locale identifier of a locale name ("de-DE", any case; "de" gives 0x0407, or with
// LOCALE_ALLOW_NEUTRAL_NAMES 0x0007; "" the invariant locale 0x007F), or 0 with
// ERROR_INVALID_PARAMETER for a name the platform does not know.
LCID LocaleNameToLCID(const char16_t* name, DWORD flags);

}  // namespace orvex
