// The thread's UI language and the resource functions' choice of language, on
// tests/fixtures/rc/languages.dll: the texts each UI language gives are Wine's
// (tests/wine/languages/expected.txt).
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/module/module.h"
#include "platform/module/ui_language.h"

namespace orvex {
namespace {

// The UTF-16 text of string 1 of block #1, as ASCII.
std::string StringOne(HMODULE module) {
  auto bytes = FindResourceBytes(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(6));
  if (!bytes) return "(none)";
  ByteReader reader(*bytes);
  const uint16_t skip = *reader.Read<uint16_t>();
  (void)reader.Skip(skip * 2u);
  const uint16_t length = *reader.Read<uint16_t>();
  std::string text;
  for (uint16_t i = 0; i < length; ++i) text += static_cast<char>(*reader.Read<uint16_t>());
  return text;
}

// The texts of string 1 and raw data #1 to #8, as the Wine program prints them.
std::string Choices(HMODULE module) {
  std::string line = "string=" + StringOne(module) + " rc=";
  for (int id = 1; id <= 8; ++id) {
    auto bytes = FindResourceBytes(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));
    line += (id == 1 ? "" : " ") +
            (bytes ? std::string(reinterpret_cast<const char*>(bytes->data())) : "(none)");
  }
  return line;
}

class UiLanguageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryExA(ORVEX_SOURCE_DIR "/tests/fixtures/rc/languages.dll", 0, 0);
    ASSERT_NE(module_, 0u);
  }
  void TearDown() override {
    SetThreadUILanguage(0);
    FreeLibrary(module_);
  }
  HMODULE module_ = 0;
};

TEST_F(UiLanguageTest, ChoiceFollowsTheThreadUiLanguageAsWineDoes) {
  struct Case {
    LANGID language;
    const char* choices;
  };
  const Case cases[] = {
      {0, "string=en-US rc=neutral nl-NL en-US de-DE en nl-NL en-US en-US"},
      {0x0407, "string=de-DE rc=neutral nl-NL de de-DE en nl-NL de-DE en-US"},
      {0x0C07, "string=de-AT rc=neutral de-AT de de-DE de-AT nl-NL de en-US"},
      {0x0807, "string=en-US rc=neutral nl-NL de de-DE en nl-NL de en-US"},
      {0x040C, "string=fr-FR rc=neutral nl-NL en-US de-DE en nl-NL en-US en-US"},
      {0x0809, "string=en-US rc=neutral nl-NL en-US de-DE en-GB en-GB en-US en"},
      {0x0C09, "string=en-US rc=neutral nl-NL en-US de-DE en en-AU en-US en"},
      {0x0413, "string=en-US rc=neutral nl-NL en-US nl-NL en nl-NL en-US nl-NL"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SetThreadUILanguage(c.language), c.language == 0 ? 0x0409 : c.language);
    EXPECT_EQ(Choices(module_), c.choices) << std::hex << c.language;
  }
  // An exact language asked of FindResourceExA is not affected; language 0 follows the thread.
  SetThreadUILanguage(0x0C07);
  const HRSRC german = FindResourceExA(module_, MAKEINTRESOURCEA(10), MAKEINTRESOURCEA(1), 0x0407);
  EXPECT_STREQ(static_cast<const char*>(LockResource(LoadResource(module_, german))), "de-DE");
  const HRSRC chosen = FindResourceExA(module_, MAKEINTRESOURCEA(10), MAKEINTRESOURCEA(2), 0);
  EXPECT_STREQ(static_cast<const char*>(LockResource(LoadResource(module_, chosen))), "de-AT");
}

TEST_F(UiLanguageTest, TheLanguageBelongsToTheThreadThatSetIt) {
  SetThreadUILanguage(0x0407);
  std::string other;
  LANGID otherLanguage = 0;
  std::thread([&] {
    otherLanguage = GetThreadUILanguage();
    other = StringOne(module_);
  }).join();
  EXPECT_EQ(otherLanguage, 0x0409);
  EXPECT_EQ(other, "en-US");
  EXPECT_EQ(GetThreadUILanguage(), 0x0407);
  EXPECT_EQ(StringOne(module_), "de-DE");
}

TEST(LocaleNameTest, NamesGiveTheIdentifiersWineGives) {
  struct Case {
    const char16_t* name;
    DWORD flags;
    LCID lcid;
  };
  const Case cases[] = {
      {u"de-DE", 0, 0x0407},
      {u"DE-de", 0, 0x0407},
      {u"de-AT", 0, 0x0C07},
      {u"es-ES", 0, 0x0C0A},
      {u"sr-Latn-RS", 0, 0x241A},
      {u"de", 0, 0x0407},
      {u"de", LOCALE_ALLOW_NEUTRAL_NAMES, 0x0007},
      {u"zh", 0, 0x0804},
      {u"zh", LOCALE_ALLOW_NEUTRAL_NAMES, 0x7804},
      {u"", 0, 0x007F},
      {u"xx-YY", 0, 0},
      {u"de-", 0, 0},
      {u"d", 0, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(LocaleNameToLCID(c.name, c.flags), c.lcid);
}

}  // namespace
}  // namespace orvex
