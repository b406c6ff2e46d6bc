#include "readers/hex_dump.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "readers/html_text.h"
#include "readers/pad_with_zeros.h"
#include "readers/step_recorder.h"

namespace orvex {
namespace {

using testing::MakeBytes;
using testing::StepRecorder;

std::u16string Blanks(size_t n) {
  return std::u16string(n, u' ');
}
std::u16string Dots(size_t n) {
  return std::u16string(n, u'.');
}

std::u16string Hex2(size_t value) {
  const char16_t digits[] = u"0123456789ABCDEF";
  return {digits[(value >> 4) & 0xF], digits[value & 0xF]};
}

std::vector<std::byte> Sequence(size_t size) {
  std::vector<std::byte> out(size);
  for (size_t i = 0; i < size; ++i) out[i] = static_cast<std::byte>(i & 0xFF);
  return out;
}

TEST(HexDumpTest, OneByteIsOnePaddedLineOf79Characters) {
  const auto data = MakeBytes({0x41});
  StepRecorder steps;
  const std::u16string text = GetHexDump(data, steps.Runner());
  const std::u16string expected = u"00000000 | 41 " + Blanks(45) + u"| A" + Dots(15) + u"\r\n";
  ASSERT_EQ(expected.size(), 79u);
  EXPECT_EQ(text, expected);
  EXPECT_TRUE(steps.Numbers().empty());
}

TEST(HexDumpTest, FullLineAndSecondPartialLine) {
  const auto data = MakeBytes(
      {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'a', 'b', 'c', 'd', 'e', 'f', 0xFF});
  const std::u16string line0 =
      u"00000000 | 30 31 32 33 34 35 36 37 38 39 61 62 63 64 65 66 | 0123456789abcdef\r\n";
  const std::u16string line1 = u"00000010 | FF " + Blanks(45) + u"| \u00FF" + Dots(15) + u"\r\n";
  EXPECT_EQ(RenderHexDump(Bytes(data).first(16)), line0);
  EXPECT_EQ(RenderHexDump(data), line0 + line1);
}

TEST(HexDumpTest, CharacterColumnFollowsTheAnsiCodePage) {
  struct Case {
    int byte;
    char16_t shown;
  };
  const Case cases[] = {
      {0x00, u'.'},    {0x09, u'.'},      {0x1F, u'.'},    {0x20, u' '},
      {0x2E, u'.'},    {0x7E, u'~'},      {0x7F, u'\x7F'}, {0x80, u'\u20AC'},
      {0x81, u'\x81'}, {0x9F, u'\u0178'}, {0xA0, u'\xA0'}, {0xE9, u'\u00E9'},
  };
  for (const Case& c : cases) {
    const auto data = MakeBytes({c.byte});
    const std::u16string text = RenderHexDump(data);
    ASSERT_EQ(text.size(), 79u);
    EXPECT_EQ(text[61], c.shown) << "byte " << c.byte;
    EXPECT_EQ(text.substr(11, 3), Hex2(static_cast<size_t>(c.byte)) + u" ");
  }
}

TEST(HexDumpTest, OffsetColumnIsEightUppercaseDigits) {
  const auto data = Sequence(4096 + 16 * 11);
  const std::u16string text = RenderHexDump(data);
  EXPECT_EQ(text.substr(256 * 79, 11), u"00001000 | ");
  EXPECT_EQ(text.substr(266 * 79, 11), u"000010A0 | ");
  EXPECT_EQ(text.substr(266 * 79 + 11, 48), u"A0 A1 A2 A3 A4 A5 A6 A7 A8 A9 AA AB AC AD AE AF ");
}

// A dump taken in blocks from their own first offsets is the dump of the whole, so a host
// can stream a long resource.
TEST(HexDumpTest, BlocksFromTheirFirstOffsetsJoinToTheWhole) {
  const std::vector<std::byte> data = Sequence(100);
  const Bytes all(data);
  EXPECT_EQ(RenderHexDump(all.first(48), 0) + RenderHexDump(all.subspan(48), 48),
            RenderHexDump(all));
  EXPECT_EQ(RenderHexDump(all.first(1), 0x10000).substr(0, 11), u"00010000 | ");
  EXPECT_EQ(RenderHexDump(Bytes{}, 32), u"");
}

TEST(HexDumpTest, LimitIsAt13264Bytes) {
  struct Case {
    size_t size;
    size_t length;
    bool rendered;
  };
  const Case cases[] = {
      {13263, 65491, true},
      {13264, 65491, true},
      {13265, 65570, false},
      {100000, 493750, false},
  };
  for (const Case& c : cases) {
    const auto data = Sequence(c.size);
    StepRecorder steps;
    const std::u16string text = GetHexDump(data, steps.Runner());
    EXPECT_EQ(text.size(), c.length) << c.size;
    EXPECT_TRUE(steps.Numbers().empty());
    if (c.rendered) {
      EXPECT_EQ(text, RenderHexDump(data));
      const size_t lastByte = c.size - 1;
      EXPECT_EQ(text.substr(text.size() - 79, 8), u"000033C0");
      EXPECT_EQ(text.substr(text.size() - 79 + 11 + 3 * (lastByte % 16), 3), Hex2(lastByte) + u" ");
      EXPECT_EQ(text.substr(text.size() - 2), u"\r\n");
    } else {
      EXPECT_EQ(text, Blanks(c.length)) << c.size;
    }
  }
  EXPECT_EQ(HexDumpLength(kHexDumpMaxBytes), 65491u);
  EXPECT_EQ(HexDumpLength(kHexDumpMaxBytes + 1), 65570u);
  EXPECT_EQ(HexDumpLength(1), 79u);
  EXPECT_EQ(HexDumpLength(0), 0u);
}

TEST(HexDumpTest, NoBytesReportsTakingAndReservingAndGivesTheEmptyText) {
  StepRecorder steps("clsQ7ResfResourceTypesA.GetHexDump");
  EXPECT_EQ(GetHexDump({}, steps.Runner()), u"");
  EXPECT_EQ(steps.Numbers(), (std::vector<int>{13, 9}));
  EXPECT_EQ(steps.Sources(), (std::vector<std::string>(2, "clsQ7ResfResourceTypesA.GetHexDump")));
  EXPECT_EQ(RenderHexDump({}), u"");
}

TEST(PadWithZerosTest, PadsOrKeepsTheLastCharacters) {
  struct Case {
    std::u16string_view text;
    int32_t width;
    std::u16string_view expected;
  };
  const Case cases[] = {
      {u"1000", 8, u"00001000"}, {u"A", 2, u"0A"}, {u"FF", 2, u"FF"},
      {u"12345", 2, u"45"},      {u"", 3, u"000"}, {u"abc", 0, u""},
  };
  for (const Case& c : cases) EXPECT_EQ(PadWithZeros(c.text, c.width), c.expected);
  EXPECT_THROW(PadWithZeros(u"1", -1), RuntimeError);
}

TEST(HtmlTextTest, ConvertsEveryByteFromTheAnsiCodePage) {
  const auto data = MakeBytes({'<', 'p', '>', 0x00, 0x80, 0xE9, 0x81, '\r', '\n'});
  EXPECT_EQ(GetHTML(data), std::u16string(u"<p>\0\u20AC\u00E9\x81\r\n", 9));
  EXPECT_EQ(GetHTML({}), u"");
}

}  // namespace
}  // namespace orvex
