#include "platform/text/text.h"

#include <gtest/gtest.h>

#include <locale.h>

#include <cstring>
#include <cwctype>
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
      std::string buffer(unicode.size() + 1, '#');
      ASSERT_EQ(UnicodeToAnsi(unicode, buffer.data()), ansi.size()) << at;
      ASSERT_EQ(buffer, ansi + std::string(unicode.size() + 1 - ansi.size(), '#')) << at;
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

// Over U+0000..U+052F the case rule is Unicode's simple case mapping (here the C library's
// UTF-8 locale) restricted to letters that map to each other, small letters in that range.
TEST(Case, FollowsTheOneToOneUnicodePairsUpToCyrillicSupplement) {
  locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
  ASSERT_NE(utf8, locale_t{});
  auto upper = [&](char16_t c) { return static_cast<char16_t>(towupper_l(c, utf8)); };
  auto lower = [&](char16_t c) { return static_cast<char16_t>(towlower_l(c, utf8)); };
  for (char16_t c = 0; c < kCaseMappedLimit; ++c) {
    const char16_t u = upper(c), l = lower(c);
    EXPECT_EQ(UpperCase(c), lower(u) == c ? u : c) << std::hex << unsigned(c);
    EXPECT_EQ(LowerCase(c), upper(l) == c && l < kCaseMappedLimit ? l : c)
        << std::hex << unsigned(c);
    EXPECT_EQ(UpperCase(LowerCase(c)), UpperCase(c)) << std::hex << unsigned(c);
  }
  freelocale(utf8);
}

// Letters checked against the platform's resource lookup and its CharUpperW/CharLowerW.
TEST(Case, MatchesThePlatformOnLatinGreekAndCyrillicLetters) {
  const struct {
    char16_t unit, upper, lower;
    const char* what;
  } cases[] = {
      {u'i', u'I', u'i', "i"},
      {0x00FF, 0x0178, 0x00FF, "y diaeresis: its capital lies in Latin Extended-A"},
      {0x0178, 0x0178, 0x00FF, "Y diaeresis"},
      {0x0192, 0x0191, 0x0192, "f hook: a letter of the code page, capital in Extended-B"},
      {0x0153, 0x0152, 0x0153, "oe"},
      {0x00DF, 0x00DF, 0x00DF, "sharp s has no one-unit capital"},
      {0x00B5, 0x00B5, 0x00B5, "micro sign is not Greek mu"},
      {0x0131, 0x0131, 0x0131, "dotless i"},
      {0x0130, 0x0130, 0x0130, "I with dot"},
      {0x017F, 0x017F, 0x017F, "long s"},
      {0x01C5, 0x01C5, 0x01C5, "title-case DZ caron"},
      {0x01C6, 0x01C4, 0x01C6, "dz caron"},
      {0x0250, 0x2C6F, 0x0250, "turned a: capital above the mapped range"},
      {0x2C6F, 0x2C6F, 0x2C6F, "turned A: above the mapped range"},
      {0x03AC, 0x0386, 0x03AC, "alpha tonos"},
      {0x038F, 0x038F, 0x03CE, "Omega tonos"},
      {0x03C2, 0x03C2, 0x03C2, "final sigma"},
      {0x03C3, 0x03A3, 0x03C3, "sigma"},
      {0x03A3, 0x03A3, 0x03C3, "Sigma"},
      {0x03C9, 0x03A9, 0x03C9, "omega"},
      {0x03CA, 0x03AA, 0x03CA, "iota dialytika"},
      {0x03CB, 0x03AB, 0x03CB, "upsilon dialytika"},
      {0x03D0, 0x03D0, 0x03D0, "beta symbol"},
      {0x03D1, 0x03D1, 0x03D1, "theta symbol"},
      {0x03D5, 0x03D5, 0x03D5, "phi symbol"},
      {0x03D6, 0x03D6, 0x03D6, "pi symbol"},
      {0x03D7, 0x03CF, 0x03D7, "kai"},
      {0x03F0, 0x03F0, 0x03F0, "kappa symbol"},
      {0x03F1, 0x03F1, 0x03F1, "rho symbol"},
      {0x03F2, 0x03F9, 0x03F2, "lunate sigma"},
      {0x03F3, 0x037F, 0x03F3, "yot"},
      {0x03F4, 0x03F4, 0x03F4, "Theta symbol"},
      {0x03F5, 0x03F5, 0x03F5, "lunate epsilon"},
      {0x0430, 0x0410, 0x0430, "a"},
      {0x044F, 0x042F, 0x044F, "ya"},
      {0x0450, 0x0400, 0x0450, "ie grave"},
      {0x040F, 0x040F, 0x045F, "Dzhe"},
      {0x045F, 0x040F, 0x045F, "dzhe"},
      {0x04CF, 0x04C0, 0x04CF, "palochka"},
      {0x052F, 0x052E, 0x052F, "el descender"},
      {0x00D7, 0x00D7, 0x00D7, "multiplication sign"},
      {0x00F7, 0x00F7, 0x00F7, "division sign"},
      {0x0301, 0x0301, 0x0301, "combining acute"},
      {0x0482, 0x0482, 0x0482, "thousands sign"},
      {0xFF41, 0xFF41, 0xFF41, "fullwidth a: above the mapped range"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(UpperCase(c.unit), c.upper) << c.what;
    EXPECT_EQ(LowerCase(c.unit), c.lower) << c.what;
  }
}

TEST(Case, EqualsIgnoringCaseComparesInUpperCase) {
  const struct {
    std::u16string a, b;
    bool equal;
  } cases[] = {
      {u"Bitmap resource", u"bITMAP RESOURCE", true},
      {u"", u"", true},
      {std::u16string(u"a\0b", 3), std::u16string(u"A\0B", 3), true},
      {u"ab", u"abc", false},
      {u"\u00FF\u0161\u0192", u"\u0178\u0160\u0191", true},
      {u"\u03C3\u03CB\u03AC", u"\u03A3\u03AB\u0386", true},
      {u"\u03C2", u"\u03A3", false},
      {u"\u0131", u"I", false},
      {u"\u00B5", u"\u039C", false},
      {u"\u0451\u0436", u"\u0401\u0416", true},
      {u"\u00E9", u"\u00C8", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EqualsIgnoringCase(c.a, c.b), c.equal) << Utf16ToUtf8(c.a) << " " << Utf16ToUtf8(c.b);
    EXPECT_EQ(EqualsIgnoringCase(c.b, c.a), c.equal) << Utf16ToUtf8(c.a) << " " << Utf16ToUtf8(c.b);
  }
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
