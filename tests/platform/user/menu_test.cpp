#include "platform/user/menu.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "pe_writer/pe_writer.h"
#include "platform/module/module.h"
#include "platform/user/menu_bytes.h"
#include "support/temp_dir.h"

namespace orvex {
namespace {

using test::ClassicMenu;
using test::ExtendedMenu;
using test::MenuSpec;

HMENU Load(const std::vector<uint8_t>& bytes) {
  return LoadMenuFromBytes(AsBytes(bytes.data(), bytes.size()));
}

struct Item {
  BOOL ok = FALSE;
  MENUITEMINFOA info{};
  std::string text;
};

// Queries as the menu renderer does: MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_TYPE with a
// 256-character buffer.
Item Query(HMENU menu, UINT position, UINT mask = 0x17) {
  static LowBuffer buffer(256);
  std::memset(buffer.Data(), 'x', buffer.Size());
  Item item;
  item.info.cbSize = 44;
  item.info.fMask = mask;
  item.info.dwTypeData = buffer.Address32();
  item.info.cch = 256;
  item.ok = GetMenuItemInfoA(menu, position, TRUE, &item.info);
  if (item.info.dwTypeData) item.text.assign(buffer.Data(), item.info.cch);
  return item;
}

// File (Open 101, separator, Exit 102 checked), Help 103 grayed.
const std::vector<MenuSpec> kFileMenu = {
    {0,
     0,
     0,
     u"&File",
     {{0, 0, 101, u"&Open\tCtrl+O"}, {0, 0, 0, u""}, {MF_CHECKED, 0, 102, u"E&xit"}}},
    {MF_GRAYED, 0, 103, u"&Help"},
};

class MenuTest : public ::testing::Test {
 protected:
  void SetUp() override { baseline_ = LiveMenuCountForTesting(); }
  void TearDown() override { EXPECT_EQ(LiveMenuCountForTesting(), baseline_) << "menus leaked"; }
  size_t baseline_ = 0;
};

TEST_F(MenuTest, ClassicTemplateItemsAsThePlatformReportsThem) {
  HMENU menu = Load(ClassicMenu(kFileMenu));
  ASSERT_NE(menu, 0u);
  ASSERT_EQ(GetMenuItemCount(menu), 2);

  Item file = Query(menu, 0);
  ASSERT_TRUE(file.ok);
  EXPECT_NE(file.info.hSubMenu, 0u);
  EXPECT_EQ(file.info.wID, file.info.hSubMenu);  // a classic popup's identifier is its handle
  EXPECT_EQ(file.info.fType, MFT_STRING);
  EXPECT_EQ(file.text, "&File");

  Item help = Query(menu, 1);
  EXPECT_EQ(help.info.wID, 103u);
  EXPECT_EQ(help.info.fState, MFS_GRAYED & MF_GRAYED);
  EXPECT_EQ(help.info.hSubMenu, 0u);

  HMENU sub = file.info.hSubMenu;
  ASSERT_EQ(GetMenuItemCount(sub), 3);
  Item open = Query(sub, 0);
  EXPECT_EQ(open.text, "&Open\tCtrl+O");
  EXPECT_EQ(open.info.cch, 12u);
  EXPECT_EQ(open.info.wID, 101u);

  // An empty string item is a separator: MIIM_TYPE reports no text pointer and cch 0.
  Item separator = Query(sub, 1);
  ASSERT_TRUE(separator.ok);
  EXPECT_EQ(separator.info.fType, MFT_SEPARATOR);
  EXPECT_EQ(separator.info.fState, MFS_GRAYED);  // classic separators come disabled
  EXPECT_FALSE(separator.info.dwTypeData);
  EXPECT_EQ(separator.info.cch, 0u);

  Item exit = Query(sub, 2);
  EXPECT_EQ(exit.info.fState, MFS_CHECKED);
  EXPECT_EQ(exit.info.wID, 102u);
  EXPECT_EQ(exit.text, "E&xit");
  EXPECT_EQ(GetSubMenu(menu, 0), sub);

  EXPECT_TRUE(DestroyMenu(menu));
  EXPECT_EQ(GetMenuItemCount(sub), -1);  // submenus go with their menu
}

TEST_F(MenuTest, ExtendedTemplateKeepsStoredIdsTypesAndStates) {
  std::vector<MenuSpec> items = {
      {0,
       0,
       300,
       u"&View",
       {{MFT_RADIOCHECK, MFS_CHECKED, 301, u"&Large"},
        {MFT_SEPARATOR, 0, 0, u""},
        {MFT_SEPARATOR | MFT_MENUBREAK, 0, 302, u"x"},
        {0, 0, 303, u""},  // no text: becomes a separator
        {0, MFS_GRAYED | MFS_DEFAULT | 0x10000, 40000, u"Gray"}}},
  };
  HMENU menu = Load(ExtendedMenu(items));
  ASSERT_NE(menu, 0u);
  Item view = Query(menu, 0);
  EXPECT_EQ(view.info.wID, 300u);
  HMENU sub = view.info.hSubMenu;
  ASSERT_EQ(GetMenuItemCount(sub), 5);

  struct Expected {
    UINT type, state, id;
  } expected[] = {
      {MFT_RADIOCHECK, MFS_CHECKED, 301},
      {MFT_SEPARATOR, 0, 0},
      {MFT_SEPARATOR | MFT_MENUBREAK, 0, 302},  // not equal to 0x800: an ordinary line
      {MFT_SEPARATOR, 0, 303},
      {0, MFS_GRAYED | MFS_DEFAULT, 40000},  // unknown state bits are dropped
  };
  for (UINT i = 0; i < 5; ++i) {
    Item item = Query(sub, i);
    ASSERT_TRUE(item.ok) << i;
    EXPECT_EQ(item.info.fType, expected[i].type) << i;
    EXPECT_EQ(item.info.fState, expected[i].state) << i;
    EXPECT_EQ(item.info.wID, expected[i].id) << i;
  }
  DestroyMenu(menu);
}

TEST_F(MenuTest, TextLengthFollowsTheCchRules) {
  HMENU menu = Load(ClassicMenu({{0, 0, 1, u"Hello"}}));
  LowBuffer buffer(16);
  struct Case {
    bool withBuffer;
    UINT cch;
    UINT cchAfter;
    std::string copied;  // what the buffer holds after, up to its terminator
  } cases[] = {
      {false, 256, 5, ""},    // no buffer: the length
      {true, 0, 5, "zz"},     // cch 0: the length, buffer untouched
      {true, 3, 2, "He"},     // cut to cch - 1 and terminated
      {true, 6, 5, "Hello"},  // exactly enough
      {true, 16, 5, "Hello"},
  };
  for (const Case& c : cases) {
    std::memset(buffer.Data(), 0, buffer.Size());
    std::memcpy(buffer.Data(), "zz", 2);
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = c.withBuffer ? buffer.Address32() : Ptr32<char>::Null();
    info.cch = c.cch;
    ASSERT_TRUE(GetMenuItemInfoA(menu, 0, TRUE, &info));
    EXPECT_EQ(info.cch, c.cchAfter) << c.cch;
    if (c.withBuffer) {
      EXPECT_STREQ(buffer.Data(), c.copied.c_str()) << c.cch;
    }
  }
  DestroyMenu(menu);
}

TEST_F(MenuTest, TypedItemsWithTextReportNoTextThroughMiimType) {
  // Found by fuzzing: such an item once reported its full text length in cch, more than
  // the caller's buffer holds.
  const std::u16string longText(300, u'w');
  HMENU menu = Load(ExtendedMenu({{MFT_SEPARATOR | MFT_MENUBREAK, 0, 1, longText},
                                  {MFT_OWNERDRAW, 0, 2, longText},
                                  {0, 0, 3, longText}}));
  for (UINT i = 0; i < 2; ++i) {
    Item item = Query(menu, i);
    EXPECT_FALSE(item.info.dwTypeData) << i;
    EXPECT_EQ(item.info.cch, 0u) << i;
  }
  Item plain = Query(menu, 2);
  EXPECT_EQ(plain.info.cch, 255u);
  EXPECT_EQ(plain.text, std::string(255, 'w'));
  DestroyMenu(menu);
}

TEST_F(MenuTest, TextIsDeliveredInTheAnsiCodePage) {
  HMENU menu = Load(ClassicMenu({{0, 0, 1, u"Caf\u00E9 \u20AC \u4E2D"}}));
  Item item = Query(menu, 0);
  EXPECT_EQ(item.text, "Caf\xE9 \x80 ?");
  DestroyMenu(menu);
}

TEST_F(MenuTest, ByCommandSearchesSubmenus) {
  HMENU menu = Load(ClassicMenu(kFileMenu));
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STATE | MIIM_ID;
  ASSERT_TRUE(GetMenuItemInfoA(menu, 102, FALSE, &info));
  EXPECT_EQ(info.fState, MFS_CHECKED);
  EXPECT_FALSE(GetMenuItemInfoA(menu, 999, FALSE, &info));
  EXPECT_EQ(GetLastError(), ERROR_MENU_ITEM_NOT_FOUND);
  DestroyMenu(menu);
}

TEST_F(MenuTest, InvalidHandlesAndArgumentsFail) {
  HMENU menu = Load(ClassicMenu(kFileMenu));
  EXPECT_EQ(GetMenuItemCount(0), -1);
  EXPECT_EQ(GetMenuItemCount(0x7777), -1);
  EXPECT_FALSE(Query(menu, 2).ok);  // past the last position
  EXPECT_FALSE(Query(0, 0).ok);
  EXPECT_FALSE(Query(menu, 0, MIIM_TYPE | MIIM_STRING).ok);  // old and new forms mixed
  MENUITEMINFOA info{};
  info.cbSize = 48;  // this platform's structure has 44 bytes
  info.fMask = MIIM_ID;
  EXPECT_FALSE(GetMenuItemInfoA(menu, 0, TRUE, &info));
  EXPECT_TRUE(DestroyMenu(menu));
  EXPECT_FALSE(DestroyMenu(menu));
  EXPECT_FALSE(DestroyMenu(0));
}

// Handles name one menu each: a destroyed handle stays invalid after its table entry is
// reused, and a submenu destroyed on its own leaves the rest of the menu usable.
TEST_F(MenuTest, DestroyedHandlesStayInvalid) {
  HMENU first = Load(ClassicMenu(kFileMenu));
  HMENU firstPopup = GetSubMenu(first, 0);
  ASSERT_NE(firstPopup, 0u);
  ASSERT_TRUE(DestroyMenu(first));
  EXPECT_EQ(GetMenuItemCount(firstPopup), -1);  // went with its parent

  HMENU second = Load(ExtendedMenu(kFileMenu));  // reuses the freed entries
  EXPECT_NE(second, first);
  EXPECT_EQ(GetMenuItemCount(first), -1);
  EXPECT_EQ(GetMenuItemCount(firstPopup), -1);
  EXPECT_EQ(GetMenuItemCount(second), 2);

  HMENU popup = GetSubMenu(second, 0);
  ASSERT_TRUE(DestroyMenu(popup));
  EXPECT_EQ(GetMenuItemCount(popup), -1);
  EXPECT_EQ(Query(second, 0).info.hSubMenu, popup);  // the item still names it
  EXPECT_EQ(Query(second, 1).text, "&Help");
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_ID;
  EXPECT_FALSE(GetMenuItemInfoA(second, 101, FALSE, &info));  // no longer searched
  EXPECT_TRUE(GetMenuItemInfoA(second, 103, FALSE, &info));
  EXPECT_TRUE(DestroyMenu(second));
}

// A process holds at most 65,535 menus, submenus included: a template that needs more
// loads nothing (and takes no handle), as the platform's handle table runs out.
TEST_F(MenuTest, TemplateNeedingMoreHandlesThanTheTableHoldsFails) {
  std::vector<MenuSpec> popups;
  for (int i = 0; i < 65535; ++i) popups.push_back(MenuSpec{0, 0, 0, u"p", {}, true});
  // Each popup needs a submenu level: one empty-text item in it.
  for (MenuSpec& popup : popups) popup.children.push_back(MenuSpec{0, 0, 1, u"x"});
  const std::vector<uint8_t> bytes = ClassicMenu(popups);  // 65,536 menus with the top
  EXPECT_EQ(Load(bytes), 0u);
  EXPECT_EQ(GetLastError(), ERROR_NO_MORE_USER_HANDLES);

  popups.pop_back();
  HMENU menu = Load(ClassicMenu(popups));  // 65,535 fit, when the test holds no others
  if (baseline_ == 0) {
    ASSERT_NE(menu, 0u);
    EXPECT_EQ(GetMenuItemCount(menu), 65534);
    EXPECT_TRUE(DestroyMenu(menu));
  }
}

TEST_F(MenuTest, HeaderOnlyTemplateIsAnEmptyMenu) {
  // What resource compilers write for a menu without items.
  for (uint8_t version : {0, 1}) {
    std::vector<uint8_t> bytes = {version, 0, 0, 0};
    HMENU menu = Load(bytes);
    ASSERT_NE(menu, 0u);
    EXPECT_EQ(GetMenuItemCount(menu), 0);
    DestroyMenu(menu);
  }
}

TEST(MenuTemplate, EveryTruncationFailsCleanly) {
  for (const auto& bytes : {ClassicMenu(kFileMenu), ExtendedMenu(kFileMenu)}) {
    ASSERT_TRUE(ParseMenuTemplate(AsBytes(bytes.data(), bytes.size())));
    const size_t header = bytes[0] == 1 ? 8 : 4;  // a header alone is an empty menu
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
      if (cut == header) continue;
      // Trailing alignment padding of the extended layout may be missing.
      auto parsed = ParseMenuTemplate(AsBytes(bytes.data(), cut));
      if (parsed) {
        EXPECT_GE(cut, bytes.size() - 3) << cut;
      }
    }
  }
}

TEST(MenuTemplate, RejectsUnknownVersionsAndDeepNesting) {
  std::vector<uint8_t> version2 = ClassicMenu(kFileMenu);
  version2[0] = 2;
  auto parsed = ParseMenuTemplate(AsBytes(version2.data(), version2.size()));
  ASSERT_FALSE(parsed);
  EXPECT_NE(parsed.GetError().message.find("version 2"), std::string::npos);

  auto nest = [](int levels) {
    MenuSpec leaf{0, 0, 1, u"leaf"};
    for (int i = 0; i < levels; ++i) leaf = MenuSpec{0, 0, 0, u"p", {leaf}};
    return std::vector<MenuSpec>{leaf};
  };
  for (bool extended : {false, true}) {
    auto ok = extended ? ExtendedMenu(nest(kMaxMenuDepth)) : ClassicMenu(nest(kMaxMenuDepth));
    EXPECT_TRUE(ParseMenuTemplate(AsBytes(ok.data(), ok.size())));
    auto deep =
        extended ? ExtendedMenu(nest(kMaxMenuDepth + 1)) : ClassicMenu(nest(kMaxMenuDepth + 1));
    auto failed = ParseMenuTemplate(AsBytes(deep.data(), deep.size()));
    ASSERT_FALSE(failed);
    EXPECT_NE(failed.GetError().message.find("nest deeper"), std::string::npos);
  }
}

TEST(MenuTemplate, ErrorsSayWhere) {
  std::vector<uint8_t> bytes = ClassicMenu(kFileMenu);
  bytes.resize(bytes.size() - 4);  // Help's text loses its end
  auto parsed = ParseMenuTemplate(AsBytes(bytes.data(), bytes.size()));
  ASSERT_FALSE(parsed);
  EXPECT_EQ(parsed.GetError().message.rfind("item 2: ", 0), 0u) << parsed.GetError().message;
}

TEST_F(MenuTest, LoadMenuAFindsTheResourceInAModule) {
  test::PeWriter writer;
  writer.Add(test::ResId(4), test::ResId(u"MAIN"), 0x0409, ClassicMenu(kFileMenu));
  writer.Add(test::ResId(4), test::ResId(7), 0x0409, ExtendedMenu(kFileMenu));
  test::TempDir dir;
  std::string path = dir.Write("menus.dll", writer.Build());
  HMODULE module = LoadLibraryExA(path.c_str(), 0, 0);
  ASSERT_NE(module, 0u);

  HMENU named = LoadMenuA(module, "main");  // names match without regard to case
  ASSERT_NE(named, 0u);
  EXPECT_EQ(GetMenuItemCount(named), 2);
  HMENU numbered = LoadMenuA(module, "#7");
  ASSERT_NE(numbered, 0u);
  EXPECT_EQ(Query(numbered, 0).info.wID, 0u);  // extended: the stored id of the popup
  HMENU byId = LoadMenuA(module, MAKEINTRESOURCEA(7));
  EXPECT_NE(byId, 0u);
  EXPECT_EQ(LoadMenuA(module, "#8"), 0u);
  EXPECT_EQ(GetMenuItemCount(LoadMenuA(module, "#8")), -1);

  DestroyMenu(named);
  DestroyMenu(numbered);
  DestroyMenu(byId);
  FreeLibrary(module);
}

}  // namespace
}  // namespace orvex
