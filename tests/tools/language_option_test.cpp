// The global --lang option through the built client: resources that exist in several
// languages read in the one the option names (tests/fixtures/rc/languages.dll, and user32's
// string block when Wine's DLLs are installed).
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tools/orvex_run.h"

namespace orvex::test {
namespace {

const std::string kLanguages = ORVEX_SOURCE_DIR "/tests/fixtures/rc/languages.dll";

TEST(LanguageOptionTest, ChoosesTheLanguageByIdentifierOrName) {
  struct Case {
    std::vector<std::string> arguments;
    std::string out;
  };
  const std::vector<Case> cases = {
      {{"string", kLanguages, "#1"}, "1: en-US\n"},
      {{"string", kLanguages, "#1", "--lang", "0407"}, "1: de-DE\n"},
      {{"--lang", "de-AT", "string", kLanguages, "#1"}, "1: de-AT\n"},
      {{"string", "--lang=0x040c", kLanguages, "#1"}, "1: fr-FR\n"},
      // de-CH: no de-CH block and no neutral German one: English.
      {{"string", kLanguages, "#1", "--lang", "de-CH"}, "1: en-US\n"},
      {{"html", kLanguages, "10", "#2", "--lang", "de-AT"}, "de-AT"},
      {{"html", kLanguages, "10", "#3", "--lang", "de-CH"}, "de"},
      {{"string", kLanguages, "--json", "--lang", "ja-JP"},
       "[\n  {\n    \"name\": \"#1\",\n    \"strings\": [\n      {\n        \"id\": 1,\n"
       "        \"text\": \"ja-JP\"\n      }\n    ]\n  }\n]\n"},
  };
  for (const Case& c : cases) {
    const OrvexRun run = RunOrvex(c.arguments);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find('\0')), c.out) << c.arguments.back();
  }
}

// scan's worker threads read in the language too: raw data #5 is "en" (3 bytes) by default
// and "de-AT" (6) in Austrian German, in every line.
TEST(LanguageOptionTest, ScanWorkersReadInTheChosenLanguage) {
  for (const auto& [language, size] : {std::pair{"0409", 3}, std::pair{"de-AT", 6}}) {
    const OrvexRun run = RunOrvex({"scan", kLanguages, kLanguages, "-j", "2", "--lang", language});
    ASSERT_EQ(run.status, 0) << run.err;
    std::istringstream lines(run.out);
    int seen = 0;
    for (std::string line; std::getline(lines, line); ++seen) {
      const auto record = nlohmann::json::parse(line);
      for (const auto& type : record["types"]) {
        if (type["type"] != "10") continue;
        for (const auto& item : type["items"]) {
          if (item["name"] == "#5") {
            EXPECT_EQ(item["size"], size) << language;
          }
        }
      }
    }
    EXPECT_EQ(seen, 2);
  }
}

TEST(LanguageOptionTest, ANameOrNumberOfNoLanguageIsAUsageError) {
  for (const std::string bad : {"xx-YY", "0", "12345", "", "de_DE"}) {
    const OrvexRun run = RunOrvex({"string", kLanguages, "#1", "--lang", bad});
    EXPECT_EQ(run.status, 2) << bad;
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("names no language"), std::string::npos) << run.err;
  }
}

TEST(LanguageOptionTest, User32StringBlockInGermanAndFrench) {
  const std::string user32 = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/user32.dll";
  if (!std::filesystem::exists(user32)) GTEST_SKIP() << "no Wine DLLs";
  // The block exists in neutral German (0007) and French (000C), found through the primary
  // language of de-DE and fr-FR.
  const OrvexRun english = RunOrvex({"string", user32, "#1"});
  const OrvexRun german = RunOrvex({"string", user32, "#1", "--lang", "de-DE"});
  const OrvexRun french = RunOrvex({"string", user32, "#1", "--lang", "040c"});
  EXPECT_NE(english.out.find("2: Error\n"), std::string::npos);
  EXPECT_NE(german.out.find("2: Fehler\n"), std::string::npos);
  EXPECT_NE(french.out.find("2: Erreur\n"), std::string::npos);
}

}  // namespace
}  // namespace orvex::test
