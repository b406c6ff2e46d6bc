// The global --lang option: the UI language the commands read resources in (a hex language
// identifier such as 0407, or a locale name such as de-DE), set as the thread's UI language
// before any object is used; threads a command starts set it too.
#pragma once

#include <CLI/CLI.hpp>

namespace orvex::cli {

void AddLanguageOption(CLI::App& app);

// Sets the language --lang chose on the calling thread; nothing when none was chosen.
void ApplyChosenLanguage();

}  // namespace orvex::cli
