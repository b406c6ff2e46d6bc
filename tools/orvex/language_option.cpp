#include "language_option.h"

#include <atomic>
#include <string>

#include "host/host_language.h"

namespace orvex::cli {

namespace {

std::atomic<LANGID> chosenLanguage{0};

}  // namespace

void AddLanguageOption(CLI::App& app) {
  app.add_option_function<std::string>(
         "--lang",
         [](const std::string& text) {
           chosenLanguage = *host::ParseUiLanguage(text);
           ApplyChosenLanguage();
         },
         "Read resources in this UI language where they exist in several: a hex language "
         "identifier (0407) or a locale name (de-DE)")
      ->type_name("LANG")
      ->check(
          [](const std::string& text) {
            return host::ParseUiLanguage(text)
                       ? std::string()
                       : "'" + text + "' names no language (write 0407 or de-DE)";
          },
          "LANG")
      ->trigger_on_parse();
}

void ApplyChosenLanguage() {
  if (const LANGID language = chosenLanguage; language != 0) SetThreadUILanguage(language);
}

}  // namespace orvex::cli
