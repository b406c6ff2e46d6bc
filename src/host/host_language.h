// The UI language a host chooses for the resources its thread reads: a language identifier
// in hex ("0407", "0x0407") or a locale name ("de-DE", "de"), set as the thread's UI
// language, which the platform's resource functions follow when a resource exists in
// several languages. The command-line client's --lang and the Python module use it.
#pragma once

#include <optional>
#include <string_view>

#include "platform/module/ui_language.h"

namespace orvex::host {

// The language `text` names: one to four hex digits (optionally after "0x"), non-zero, or a
// locale name the platform knows (LocaleNameToLCID, neutral names allowed). Nothing for
// anything else.
std::optional<LANGID> ParseUiLanguage(std::string_view text);

// ParseUiLanguage, then SetThreadUILanguage on the calling thread; false (nothing set) when
// the text names no language.
bool SetUiLanguage(std::string_view text);

}  // namespace orvex::host
