#include "readers/message_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "readers/step_recorder.h"

namespace orvex {
namespace {

using testing::PutAnsi;
using testing::PutDword;
using testing::PutUtf16;
using testing::PutWord;
using testing::StepRecorder;

struct Message {
  bool unicode;
  std::string ansi;     // when !unicode
  std::u16string text;  // when unicode
};

struct BlockSpec {
  uint32_t lowId;
  uint32_t highId;
  std::vector<Message> messages;
};

// Entries padded to 4 bytes with zeros, as resource compilers write them.
void PutEntry(std::vector<std::byte>& out, const Message& m) {
  std::vector<std::byte> text;
  if (m.unicode) {
    PutUtf16(text, m.text);
    PutWord(text, 0);
  } else {
    PutAnsi(text, m.ansi);
    text.push_back(std::byte{0});
  }
  while (text.size() % 4 != 0) text.push_back(std::byte{0});
  PutWord(out, static_cast<uint32_t>(text.size() + 4));
  PutWord(out, m.unicode ? 1 : 0);
  out.insert(out.end(), text.begin(), text.end());
}

std::vector<std::byte> Table(const std::vector<BlockSpec>& blocks) {
  std::vector<std::byte> out;
  PutDword(out, static_cast<uint32_t>(blocks.size()));
  std::vector<std::byte> entries;
  const size_t entriesStart = 4 + 12 * blocks.size();
  for (const BlockSpec& b : blocks) {
    PutDword(out, b.lowId);
    PutDword(out, b.highId);
    PutDword(out, static_cast<uint32_t>(entriesStart + entries.size()));
    for (const Message& m : b.messages) PutEntry(entries, m);
  }
  out.insert(out.end(), entries.begin(), entries.end());
  return out;
}

// A copy of `data` with the byte at `offset` replaced.
std::vector<std::byte> Patched(std::vector<std::byte> data, size_t offset, int value) {
  data.at(offset) = static_cast<std::byte>(value);
  return data;
}

Message Ansi(std::string text) {
  return Message{false, std::move(text), {}};
}
Message Wide(std::u16string text) {
  return Message{true, {}, std::move(text)};
}

TEST(GetMessageTableTest, RendersEveryMessageOfEveryBlock) {
  struct Case {
    const char* name;
    std::vector<BlockSpec> blocks;
    std::u16string_view expected;
  };
  const Case cases[] = {
      {"two messages with their own line breaks",
       {{1, 2, {Ansi("First\r\n"), Ansi("Second\r\n")}}},
       u"1: First\r\n2: Second\r\n"},
      {"no trailing break runs on",
       {{1, 2, {Ansi("First"), Ansi("Second")}}},
       u"1: First2: Second"},
      {"ANSI and Unicode render alike",
       {{5, 5, {Ansi("Caf\xE9\n")}}, {6, 6, {Wide(u"Caf\u00E9\n")}}},
       u"5: Caf\u00E9\r\n6: Caf\u00E9\r\n"},
      {"identifier with the top bit set prints negative",
       {{0xC0000005, 0xC0000005, {Wide(u"Access violation\r\n")}}},
       u"-1073741819: Access violation\r\n"},
      {"high below low holds nothing", {{9, 8, {}}, {3, 3, {Ansi("x\r\n")}}}, u"3: x\r\n"},
      {"no blocks", {}, u""},
      {"Unicode text cut at NUL", {{1, 1, {Wide(std::u16string(u"a\0b\r\n", 5))}}}, u"1: a"},
  };
  for (const Case& c : cases) {
    const auto data = Table(c.blocks);
    StepRecorder steps;
    EXPECT_EQ(GetMessageTable(data, steps.Runner()), c.expected) << c.name;
    EXPECT_TRUE(steps.Numbers().empty()) << c.name;
  }
}

TEST(GetMessageTableTest, ZeroLengthEndsTheBlock) {
  std::vector<std::byte> data;
  PutDword(data, 1);
  PutDword(data, 0);
  PutDword(data, 0x7FFFFFF0);  // a range that would take billions of steps to walk
  PutDword(data, 16);
  PutEntry(data, Ansi("A\r\n"));
  PutWord(data, 0);
  PutWord(data, 0);
  StepRecorder steps;
  EXPECT_EQ(GetMessageTable(data, steps.Runner()), u"0: A\r\n");
  EXPECT_TRUE(steps.Numbers().empty());
}

TEST(GetMessageTableTest, MissingTableReportsTwice) {
  StepRecorder steps("clsQ7ResfResourceTypesA.GetMessageTable");
  EXPECT_EQ(GetMessageTable({}, steps.Runner()), u"");
  EXPECT_EQ(steps.Numbers(), (std::vector<int>{13, 9}));
}

TEST(GetMessageTableTest, DamagedTablesRenderWhatIsSoundAndReportTheRest) {
  const auto good =
      Table({{1, 1, {Ansi("one\r\n")}}, {2, 3, {Ansi("two\r\n"), Ansi("three\r\n")}}});
  struct Case {
    const char* name;
    std::vector<std::byte> data;
    std::u16string_view expected;
    std::vector<int> reports;
  };
  std::vector<Case> cases;
  {
    auto d = good;
    d.resize(3);  // NumberOfBlocks cut short
    cases.push_back({"count cut", d, u"", {9}});
  }
  {
    // Two blocks claimed, room for one record: the entry after it is shorter than a record.
    std::vector<std::byte> d;
    PutDword(d, 2);
    PutDword(d, 1);
    PutDword(d, 1);
    PutDword(d, 16);
    PutWord(d, 8);
    PutWord(d, 0);
    PutAnsi(d, "ok\r\n");
    cases.push_back({"count past the end", d, u"1: ok\r\n", {9}});
  }
  {
    // The second block's entries far past the end.
    cases.push_back({"offset past the end", Patched(good, 4 + 12 + 8, 0xF0), u"1: one\r\n", {9}});
  }
  {
    auto d = good;
    d.resize(d.size() - 2);  // last entry's text cut
    cases.push_back({"last entry cut", d, u"1: one\r\n2: two\r\n", {9}});
  }
  // The first entry's Length below its 4-byte header.
  cases.push_back({"length below 4", Patched(good, 4 + 24, 2), u"2: two\r\n3: three\r\n", {9}});
  // An ANSI entry with no text bytes.
  cases.push_back({"length exactly 4", Patched(good, 4 + 24, 4), u"1: 2: two\r\n3: three\r\n", {}});
  for (Case& c : cases) {
    StepRecorder steps;
    const std::u16string text = GetMessageTable(c.data, steps.Runner());
    EXPECT_EQ(text, c.expected) << c.name;
    EXPECT_EQ(steps.Numbers(), c.reports) << c.name;
  }
}

TEST(GetMessageTableTest, TextOutOfProportionStopsAtTheLimit) {
  // Three blocks sharing one entry list; the limit admits the first block and one entry more.
  std::vector<std::byte> data;
  PutDword(data, 3);
  for (int b = 0; b < 3; ++b) {
    PutDword(data, 1);
    PutDword(data, 2);
    PutDword(data, 40);
  }
  PutEntry(data, Ansi("ab\r\n"));
  PutEntry(data, Ansi("cd\r\n"));
  StepRecorder steps;
  EXPECT_EQ(GetMessageTable(data, steps.Runner(), 24), u"1: ab\r\n2: cd\r\n1: ab\r\n");
  EXPECT_EQ(steps.Numbers(), (std::vector<int>{14, 14}));
}

TEST(GetMessageTableTest, AnsiTextStopsAtTheEntryEvenWithoutAZero) {
  std::vector<std::byte> data;
  PutDword(data, 1);
  PutDword(data, 7);
  PutDword(data, 7);
  PutDword(data, 16);
  PutWord(data, 8);
  PutWord(data, 0);
  PutAnsi(data, "abcdEFGH");  // Length covers "abcd" only
  StepRecorder steps;
  EXPECT_EQ(GetMessageTable(data, steps.Runner()), u"7: abcd");
  EXPECT_TRUE(steps.Numbers().empty());
}

}  // namespace
}  // namespace orvex
