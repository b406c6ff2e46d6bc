#include "readers/menu_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/user/menu.h"
#include "readers/payloads.h"
#include "readers/step_recorder.h"

namespace orvex {
namespace {

using testing::Command;
using testing::ExtendedMenu;
using testing::Item;
using testing::Popup;
using testing::PutUtf16;
using testing::PutWord;
using testing::Separator;
using testing::StepRecorder;

std::u16string Render(const std::vector<std::byte>& menuTemplate, std::u16string& threadText,
                      StepRecorder& steps) {
  return RenderMenuText([&] { return LoadMenuFromBytes(menuTemplate); }, threadText,
                        steps.Runner());
}

TEST(MenuTextTest, RendersTheOutline) {
  struct Case {
    const char* name;
    std::vector<Item> items;
    std::u16string_view expected;
  };
  const Case cases[] = {
      {"popup with commands and a separator",
       {Popup(u"&File", 10, {Command(u"&Open\tCtrl+O", 101), Separator(), Command(u"E&xit", 102)})},
       u"&File (cmdID = 10)\r\n"
       u".....&Open\tCtrl+O (cmdID = 101)\r\n"
       u".....[MENU SEPARATOR]\r\n"
       u".....E&xit (cmdID = 102)\r\n"},
      {"separator two levels deep, lines after their parent",
       {Popup(u"A", 1, {Popup(u"B", 2, {Separator(), Command(u"C", 3)})}), Command(u"D", 4)},
       u"A (cmdID = 1)\r\n"
       u".....B (cmdID = 2)\r\n"
       u"..........[MENU SEPARATOR]\r\n"
       u"..........C (cmdID = 3)\r\n"
       u"D (cmdID = 4)\r\n"},
      {"checked item", {Command(u"Word wrap", 7, 0x08)}, u"Word wrap (checked) (cmdID = 7)\r\n"},
      {"separator type combined with another bit is an ordinary item",
       {Item{0x820, 0, 9, u"", {}, false}},
       u" (cmdID = 9)\r\n"},
      {"identifiers print as signed 32-bit",
       {Command(u"x", 40000), Command(u"y", 0xFFFFFFFF)},
       u"x (cmdID = 40000)\r\ny (cmdID = -1)\r\n"},
      {"caption in the ANSI code page",
       {Command(u"Caf\u00E9 \u20AC", 5)},
       u"Caf\u00E9 \u20AC (cmdID = 5)\r\n"},
  };
  for (const Case& c : cases) {
    std::u16string threadText = u"left over from an earlier call";
    StepRecorder steps;
    EXPECT_EQ(Render(ExtendedMenu(c.items), threadText, steps), c.expected) << c.name;
    EXPECT_EQ(threadText, c.expected) << c.name;
    EXPECT_TRUE(steps.Numbers().empty()) << c.name;
  }
  EXPECT_EQ(LiveMenuCountForTesting(), 0u);
}

TEST(MenuTextTest, ClassicTemplate) {
  // MENUITEMTEMPLATE: WORD mtOption; WORD mtID; WCHAR text[] (a popup has no mtID).
  std::vector<std::byte> bytes;
  PutWord(bytes, 0);
  PutWord(bytes, 0);
  PutWord(bytes, 0x08);  // MF_CHECKED
  PutWord(bytes, 201);
  PutUtf16(bytes, u"One");
  PutWord(bytes, 0);
  PutWord(bytes, 0);  // empty string item: a separator
  PutWord(bytes, 0);
  PutWord(bytes, 0);
  PutWord(bytes, 0x80);  // MF_END
  PutWord(bytes, 202);
  PutUtf16(bytes, u"Two");
  PutWord(bytes, 0);
  std::u16string threadText;
  StepRecorder steps;
  EXPECT_EQ(Render(bytes, threadText, steps),
            u"One (checked) (cmdID = 201)\r\n[MENU SEPARATOR]\r\nTwo (cmdID = 202)\r\n");
}

TEST(MenuTextTest, TwoCallsInARowGiveTheSameText) {
  const auto bytes = ExtendedMenu({Popup(u"P", 1, {Command(u"Q", 2)})});
  std::u16string threadText;
  StepRecorder steps;
  const std::u16string first = Render(bytes, threadText, steps);
  EXPECT_EQ(Render(bytes, threadText, steps), first);
  EXPECT_EQ(first, u"P (cmdID = 1)\r\n.....Q (cmdID = 2)\r\n");
}

TEST(MenuTextTest, MissingMenuGivesTheEmptyTextWithoutReports) {
  std::u16string threadText = u"stale";
  StepRecorder steps;
  EXPECT_EQ(RenderMenuText([] { return HMENU{0}; }, threadText, steps.Runner()), u"");
  EXPECT_TRUE(steps.Numbers().empty());
  // A template the platform cannot build (no items) loads as no menu.
  EXPECT_EQ(Render(ExtendedMenu({}), threadText, steps), u"");
  EXPECT_TRUE(steps.Numbers().empty());
  WalkMenuItems(0, 0, threadText);
  EXPECT_EQ(threadText, u"");
}

TEST(MenuTextTest, FailingLoadIsReportedAndTheRestRuns) {
  std::u16string threadText = u"stale";
  StepRecorder steps("clsQ7ResfResourceTypesA.GetMenuText");
  EXPECT_EQ(RenderMenuText([]() -> HMENU { throw RuntimeError(Err::InvalidProcedureCall); },
                           threadText, steps.Runner()),
            u"");
  EXPECT_EQ(steps.Numbers(), std::vector<int>{5});
}

}  // namespace
}  // namespace orvex
