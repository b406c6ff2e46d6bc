#include "platform/text/text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace orvex {
namespace {

TEST(AnsiToUnicode, HighRowFollowsTheCodePageIncludingUnassignedBytes) {
  const std::u16string expected =
      u"\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039\u0152\u008D"
      u"\u017D\u008F\u0090\u2018\u2019\u201C\u201D\u2022\u2013\u2014\u02DC\u2122\u0161\u203A"
      u"\u0153\u009D\u017E\u0178";
  std::string row;
  for (int b = 0x80; b <= 0x9F; ++b) row.push_back(static_cast<char>(b));
  EXPECT_EQ(AnsiToUnicode(row), expected);
  EXPECT_EQ(AnsiToUnicode("A\xA0\xE9\xFF"), u"A\u00A0\u00E9\u00FF");
  EXPECT_EQ(AnsiToUnicode(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
}

TEST(UnicodeToAnsi, EveryByteRoundTrips) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(UnicodeToAnsi(AnsiToUnicode(all)), all);
}

TEST(UnicodeToAnsi, UnrepresentableCharactersBecomeQuestionMarks) {
  struct Case {
    std::u16string text;
    std::string ansi;
  } cases[] = {
      {u"Caf\u00E9", "Caf\xE9"},
      {u"\u20AC5",
       "\x80"
       "5"},
      {u"\u0100", "?"},                  // Latin Extended-A: no best-fit "A"
      {u"\u0080\u0085", "??"},           // C1 controls the code page does not hold
      {u"\u4E2D\u6587", "??"},           // CJK
      {u"x\U0001F600y", "x?y"},          // a surrogate pair is one character
      {std::u16string(1, 0xD800), "?"},  // lone surrogate
  };
  for (const Case& c : cases) EXPECT_EQ(UnicodeToAnsi(c.text), c.ansi);
}

// The conversions take ASCII a word at a time: a special character at any position of a
// long ASCII text must convert as it does alone, and text at an odd address as well.
TEST(AnsiAndUnicode, SpecialCharactersConvertTheSameAtEveryPosition) {
  const std::u16string run(40, u'k');
  const struct {
    std::u16string unicode;
    std::string ansi;
  } specials[] = {
      {u"\u20AC", "\x80"}, {u"\u009D", "\x9D"},  {u"\u00E9", "\xE9"},
      {u"\u0100", "?"},    {u"\U0001F600", "?"}, {std::u16string(1, u'\0'), std::string(1, '\0')},
  };
  for (const auto& special : specials) {
    for (size_t at = 0; at <= run.size(); ++at) {
      const std::u16string unicode = run.substr(0, at) + special.unicode + run.substr(at);
      const std::string ansi =
          std::string(at, 'k') + special.ansi + std::string(run.size() - at, 'k');
      ASSERT_EQ(UnicodeToAnsi(unicode), ansi) << at;
      if (special.unicode.size() == 1 && special.ansi != "?") {
        ASSERT_EQ(AnsiToUnicode(ansi), unicode) << at;
      }

      std::string odd(1 + unicode.size() * 2, '\0');  // the text starts at an odd address
      std::memcpy(odd.data() + 1, unicode.data(), unicode.size() * 2);
      std::string appended = "head";
      AppendUtf16LeToAnsi(appended, AsBytes(odd.data() + 1, unicode.size() * 2));
      ASSERT_EQ(appended, "head" + ansi) << at;
    }
  }
}

TEST(Utf8ToUtf16, DecodesWellFormedAndReplacesIllFormedSequences) {
  struct Case {
    std::string utf8;
    std::u16string text;
  } cases[] = {
      {"plain", u"plain"},
      {"\xC3\xA9\xE2\x82\xAC", u"\u00E9\u20AC"},
      {"\xF0\x9F\x98\x80", u"\U0001F600"},
      {"\xC0\xAF", u"\uFFFD\uFFFD"},            // overlong
      {"\xE2\x82", u"\uFFFD"},                  // truncated at the end
      {"\xE2\x82x", u"\uFFFDx"},                // truncated before a valid byte
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},  // encoded surrogate
      {"\xF5\x80", u"\uFFFD\uFFFD"},            // beyond U+10FFFF
      {"\x80", u"\uFFFD"},
  };
  for (const Case& c : cases) EXPECT_EQ(Utf8ToUtf16(c.utf8), c.text) << c.utf8;
}

TEST(Utf16ToUtf8, EncodesPairsAndReplacesLoneSurrogates) {
  EXPECT_EQ(Utf16ToUtf8(u"\u00E9\u20AC\U0001F600"), "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf16ToUtf8(std::u16string{0xDC00, u'a', 0xD800}),
            "\xEF\xBF\xBD"
            "a\xEF\xBF\xBD");
  EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(u"R\u00E9sum\u00E9")), u"R\u00E9sum\u00E9");
}

TEST(Lstr, LengthAndCopyWithNullArguments) {
  EXPECT_EQ(lstrlenA(nullptr), 0);
  EXPECT_EQ(lstrlenA("abc"), 3);
  char buffer[8] = "xxxxxxx";
  EXPECT_EQ(lstrcpyA(buffer, "abc"), buffer);
  EXPECT_EQ(std::string(buffer, 5), std::string("abc\0x", 5));
  EXPECT_EQ(lstrcpyA(nullptr, "abc"), nullptr);
  EXPECT_EQ(lstrcpyA(buffer, nullptr), nullptr);
}

}  // namespace
}  // namespace orvex
