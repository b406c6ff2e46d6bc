#include "readers/accelerators.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "readers/step_recorder.h"

namespace orvex {
namespace {

using testing::PutWord;
using testing::StepRecorder;

struct Accel {
  uint16_t flags;
  uint16_t key;
  uint16_t id;
};

std::vector<std::byte> Table(const std::vector<Accel>& entries) {
  std::vector<std::byte> out;
  for (const Accel& a : entries) {
    PutWord(out, a.flags);
    PutWord(out, a.key);
    PutWord(out, a.id);
    PutWord(out, 0);
  }
  return out;
}

TEST(VirtualKeyNameTest, NamesEveryKindOfCode) {
  struct Case {
    int32_t code;
    std::u16string_view name;
  };
  const Case cases[] = {
      {0x30, u"0"},
      {0x39, u"9"},
      {0x41, u"A"},
      {0x5A, u"Z"},
      {0x70, u"F1"},
      {0x7B, u"F12"},
      {0x7F, u"F16"},
      {3, u"CANCEL"},
      {8, u"BACKSPACE"},
      {9, u"TAB"},
      {12, u"CLEAR"},
      {13, u"ENTER"},
      {16, u"SHIFT"},
      {17, u"CTRL"},
      {18, u"MENU"},
      {19, u"PAUSE"},
      {20, u"CAPS LOCK"},
      {27, u"ESC"},
      {32, u"SPACEBAR"},
      {33, u"PAGE UP"},
      {34, u"PAGE DOWN"},
      {35, u"END"},
      {36, u"HOME"},
      {37, u"LEFT ARROW"},
      {38, u"UP ARROW"},
      {39, u"RIGHT ARROW"},
      {40, u"DOWN ARROW"},
      {41, u"SELECT"},
      {42, u"PRINT SCREEN"},
      {43, u"EXECUTE"},
      {44, u"SNAPSHOT"},
      {45, u"INS"},
      {46, u"DEL"},
      {47, u"HELP"},
      {144, u"NUM LOCK"},
      {96, u"Virtual Key 96"},
      {0x61, u"Virtual Key 97"},
      {0x40, u"Virtual Key 64"},
      {0x5B, u"Virtual Key 91"},
      {0x6F, u"Virtual Key 111"},
      {0x80, u"Virtual Key 128"},
      {0, u"Virtual Key 0"},
      {-1, u"Virtual Key -1"},
      {-32768, u"Virtual Key -32768"},
  };
  for (const Case& c : cases) EXPECT_EQ(VirtualKeyName(c.code), c.name) << c.code;
}

TEST(GetAcceleratorsTest, RendersOneLinePerRecord) {
  struct Case {
    const char* name;
    std::vector<Accel> entries;
    std::u16string_view expected;
  };
  const Case cases[] = {
      {"shift and ctrl", {{0x0D, 0x4E, 100}}, u"Shift+Ctrl+N (cmdID = 100)\r\n"},
      {"function key", {{0x01, 0x70, 7}}, u"F1 (cmdID = 7)\r\n"},
      {"all modifiers in fixed order", {{0x1C, 0x2E, 1}}, u"Shift+Ctrl+Alt+DEL (cmdID = 1)\r\n"},
      {"alt alone, end-of-table bit not read", {{0x90, 0x73, 2}}, u"Alt+F4 (cmdID = 2)\r\n"},
      {"character key named as a virtual key",
       {{0x00, 0x61, 3}},
       u"Virtual Key 97 (cmdID = 3)\r\n"},
      {"key 3", {{0x00, 0x03, 4}}, u"CANCEL (cmdID = 4)\r\n"},
      {"identifiers print as signed 16-bit",
       {{0x01, 0x41, 40000}, {0x01, 0x42, 65535}},
       u"A (cmdID = -25536)\r\nB (cmdID = -1)\r\n"},
      {"key read as signed 16-bit", {{0x01, 0xFFFF, 5}}, u"Virtual Key -1 (cmdID = 5)\r\n"},
  };
  for (const Case& c : cases) {
    const auto data = Table(c.entries);
    StepRecorder steps;
    EXPECT_EQ(GetAccelerators(data, steps.Runner()), c.expected) << c.name;
    EXPECT_TRUE(steps.Numbers().empty()) << c.name;
  }
}

TEST(GetAcceleratorsTest, BytesBeyondTheLastWholeRecordAreIgnored) {
  auto data = Table({{0x09, 0x53, 10}, {0x01, 0x74, 11}});
  data.insert(data.end(), 4, std::byte{0x7F});
  ASSERT_EQ(data.size(), 20u);
  StepRecorder steps;
  EXPECT_EQ(GetAccelerators(data, steps.Runner()), u"Ctrl+S (cmdID = 10)\r\nF5 (cmdID = 11)\r\n");
  EXPECT_TRUE(steps.Numbers().empty());
}

TEST(GetAcceleratorsTest, MissingTableReportsFourTimes) {
  StepRecorder steps("clsQ7ResfResourceTypesA.GetAccelerators");
  EXPECT_EQ(GetAccelerators({}, steps.Runner()), u"");
  EXPECT_EQ(steps.Numbers(), (std::vector<int>{13, 9, 9, 9}));
}

TEST(GetAcceleratorsTest, TableWithoutAWholeRecordReportsMakingRoomAndCopying) {
  const auto data = testing::MakeBytes({1, 0, 0x41, 0, 5});
  StepRecorder steps;
  EXPECT_EQ(GetAccelerators(data, steps.Runner()), u"");
  EXPECT_EQ(steps.Numbers(), (std::vector<int>{9, 9}));
}

}  // namespace
}  // namespace orvex
