#include "readers/string_table.h"

#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <string>
#include <vector>

#include "readers/step_recorder.h"
#include "readers/text_parts.h"

namespace orvex {
namespace {

using testing::PutUtf16;
using testing::PutWord;
using testing::StepRecorder;

// A block of 16 entries; positions not in `strings` are absent (count 0).
std::vector<std::byte> Block(const std::map<int, std::u16string>& strings) {
  std::vector<std::byte> out;
  for (int i = 0; i < 16; ++i) {
    auto it = strings.find(i);
    if (it == strings.end()) {
      PutWord(out, 0);
      continue;
    }
    PutWord(out, static_cast<uint32_t>(it->second.size()));
    PutUtf16(out, it->second);
  }
  return out;
}

TEST(ReplaceTextTest, ReplacesFromTheLeftWithoutSearchingInsertedText) {
  struct Case {
    std::u16string_view source, search, replacement, expected;
  };
  const Case cases[] = {
      {u"a\nb\nc", u"\n", u"\r\n", u"a\r\nb\r\nc"},
      {u"aaa", u"a", u"aa", u"aaaaaa"},
      {u"aaaa", u"aa", u"b", u"bb"},
      {u"Abc abc", u"abc", u"x", u"Abc x"},
      {u"a--b--", u"--", u"", u"ab"},
      {u"", u"a", u"b", u""},
      {u"abc", u"", u"x", u"abc"},
      {u"abc", u"abcd", u"x", u"abc"},
  };
  for (const Case& c : cases) EXPECT_EQ(ReplaceText(c.source, c.search, c.replacement), c.expected);
}

TEST(NormalizeLineBreaksTest, GivesEveryLineFeedACarriageReturn) {
  EXPECT_EQ(NormalizeLineBreaks(u"a\nb"), u"a\r\nb");
  EXPECT_EQ(NormalizeLineBreaks(u"a\r\nb"), u"a\r\nb");
  EXPECT_EQ(NormalizeLineBreaks(u"a\rb"), u"a\rb");
  EXPECT_EQ(NormalizeLineBreaks(u"\n\n"), u"\r\n\r\n");
}

TEST(AppendDecimalTest, WritesEverySignedValueAsToStringDoes) {
  const int64_t values[] = {0,
                            7,
                            -1,
                            std::numeric_limits<int32_t>::min(),
                            std::numeric_limits<uint32_t>::max(),
                            int64_t{std::numeric_limits<uint32_t>::max()} + 1,
                            -int64_t{std::numeric_limits<uint32_t>::max()} - 1,
                            std::numeric_limits<int64_t>::min(),
                            std::numeric_limits<int64_t>::max()};
  for (const int64_t value : values) {
    std::u16string out = u"x";
    readers::AppendDecimal(out, value);
    const std::string expected = "x" + std::to_string(value);
    EXPECT_EQ(out, std::u16string(expected.begin(), expected.end())) << value;
  }
}

// AppendEntry copies runs without NUL or LF a word at a time: every text over a small
// alphabet up to length 9 (and longer ones built from them) must give what the
// composition of the simple steps gives, wherever the special characters fall.
TEST(AppendEntryTest, AgreesWithTheStepsItCombines) {
  const char16_t alphabet[] = {u'a', u'\r', u'\n', u'\0', u'\u00E9'};
  for (uint32_t code = 0; code < 5 * 5 * 5 * 5 * 5 * 5; ++code) {
    // Six positions from the code, placed at both ends of a 12-character run of "x".
    std::u16string six;
    for (uint32_t rest = code; six.size() < 6; rest /= 5) six.push_back(alphabet[rest % 5]);
    for (const std::u16string& candidate :
         {six, six + u"xxxxxxxxxxxx", u"xxxxxxxxxxxx" + six, six.substr(0, 3) + u"xxxxx" + six}) {
      std::u16string appended = u"prefix|";
      readers::AppendEntry(appended, -7, candidate);
      ASSERT_EQ(appended, u"prefix|" + readers::TrimAtNull(
                                           NormalizeLineBreaks(readers::Entry(-7, candidate))))
          << "code " << code;
    }
  }
}

TEST(GetStringTest, RendersPresentStringsOfTheBlock) {
  struct Case {
    const char* name;
    std::map<int, std::u16string> strings;
    std::u16string_view resName;
    std::u16string_view expected;
  };
  const Case cases[] = {
      {"first string of block 1", {{1, u"Hello"}}, u"#1", u"1: Hello\r\n"},
      {"block 7 runs from 96", {{0, u"x"}, {15, u"y"}}, u"#7", u"96: x\r\n111: y\r\n"},
      {"lone LF gains CR", {{0, u"a\nb"}}, u"#1", u"0: a\r\nb\r\n"},
      {"CR LF stays", {{0, u"a\r\nb"}}, u"#1", u"0: a\r\nb\r\n"},
      {"lone CR stays", {{0, u"a\rb"}}, u"#1", u"0: a\rb\r\n"},
      {"cut at embedded NUL", {{2, std::u16string(u"ab\0cd", 5)}}, u"#1", u"2: ab\r\n"},
      {"all absent", {}, u"#1", u""},
      {"first character not looked at", {{3, u"z"}}, u"X2", u"19: z\r\n"},
      {"block 0 has negative identifiers", {{0, u"n"}}, u"#0", u"-16: n\r\n"},
      {"non-ASCII text", {{4, u"\u00E9\u4E2D"}}, u"# 3 ", u"36: \u00E9\u4E2D\r\n"},
  };
  for (const Case& c : cases) {
    const auto data = Block(c.strings);
    StepRecorder steps;
    EXPECT_EQ(GetString(data, c.resName, steps.Runner()), c.expected) << c.name;
    EXPECT_TRUE(steps.Numbers().empty()) << c.name;
  }
}

TEST(GetStringTest, MissingBlockReportsSeventeenTimes) {
  StepRecorder steps("clsQ7ResfResourceTypesA.GetString");
  EXPECT_EQ(GetString({}, u"#5", steps.Runner()), u"");
  std::vector<int> expected(17, 9);
  expected[0] = 13;
  EXPECT_EQ(steps.Numbers(), expected);
}

TEST(GetStringTest, BadBlockNumberIsReportedAndNothingIsWalked) {
  struct Case {
    std::u16string_view resName;
    int number;
  };
  const Case cases[] = {
      {u"#abc", 13},       {u"#", 13},         {u"", 13},           {u"#1x", 13},
      {u"#2147483648", 6}, {u"#134217729", 6}, {u"#-134217728", 6}, {u"#99999999999999999999", 6},
  };
  const auto data = Block({{0, u"x"}});
  for (const Case& c : cases) {
    StepRecorder steps;
    EXPECT_EQ(GetString(data, c.resName, steps.Runner()), u"");
    EXPECT_EQ(steps.Numbers(), std::vector<int>{c.number});
  }
  // The largest blocks whose identifiers still fit in 32 bits.
  StepRecorder steps;
  EXPECT_EQ(GetString(data, u"#134217728", steps.Runner()), u"2147483632: x\r\n");
  EXPECT_EQ(GetString(data, u"#-134217727", steps.Runner()), u"-2147483648: x\r\n");
  EXPECT_TRUE(steps.Numbers().empty());
}

TEST(GetStringTest, TruncatedBlockRendersWhatIsWholeAndReportsTheRest) {
  auto data = Block({{0, u"ok"}, {1, u"long text"}});
  // Cut inside string 1's text: string 0 renders, string 1 and every later one fail.
  data.resize(2 + 4 + 2 + 6);
  StepRecorder steps;
  EXPECT_EQ(GetString(data, u"#1", steps.Runner()), u"0: ok\r\n");
  EXPECT_EQ(steps.Numbers(), std::vector<int>(15, 9));

  // Cut inside a count: a single byte left for string 2's count.
  auto counts = Block({});
  counts.resize(5);
  StepRecorder steps2;
  EXPECT_EQ(GetString(counts, u"#1", steps2.Runner()), u"");
  EXPECT_EQ(steps2.Numbers(), std::vector<int>(14, 9));
}

TEST(GetStringTest, BytesAfterTheSixteenthEntryAreIgnored) {
  auto data = Block({{15, u"last"}});
  PutWord(data, 3);
  PutUtf16(data, u"xyz");
  StepRecorder steps;
  EXPECT_EQ(GetString(data, u"#1", steps.Runner()), u"15: last\r\n");
  EXPECT_TRUE(steps.Numbers().empty());
}

}  // namespace
}  // namespace orvex

namespace orvex {
namespace {

// The one-pass entry writer gives what the two ReplaceText passes and the cut at NUL give.
TEST(AppendEntryTest, MatchesReplaceTextAndTrimAtNull) {
  const std::u16string texts[] = {
      u"",          u"\n",   u"\r",       u"\r\n",     u"\n\n",  u"a\nb",
      u"a\r\nb",    u"a\rb", u"a\r\r\nb", u"\r\r\n\n", u"x\n\r", std::u16string(u"a\0\nb", 4),
      u"\n\r\n\r\n"};
  for (const int32_t id : {0, 7, -1073741819, std::numeric_limits<int32_t>::min()}) {
    for (const std::u16string& text : texts) {
      std::u16string appended = u"before";
      readers::AppendEntry(appended, id, text);
      EXPECT_EQ(appended,
                u"before" + readers::TrimAtNull(NormalizeLineBreaks(readers::Entry(id, text))));
    }
  }
}

}  // namespace
}  // namespace orvex
