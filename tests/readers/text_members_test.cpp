// GetString, GetMessageTable, GetVersionInfo, GetMenuText and GetAccelerators through the
// catalogue's automation interface: what they render from a module the PE writer built,
// and the reports of the failure cases under each operation's own source name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/catalogue_test_support.h"
#include "framework/q7halden10.h"
#include "pe_writer/resource_payloads.h"
#include "platform/module/module.h"
#include "platform/user/menu.h"

namespace orvex::test {
namespace {

std::vector<Report> Repeated(const char* operation, std::vector<int32_t> numbers) {
  std::vector<Report> out;
  for (int32_t number : numbers)
    out.push_back({std::string("clsQ7ResfResourceTypesA.") + operation, number});
  return out;
}

class TextMembersTest : public CatalogueTest {
 protected:
  void OpenModule(const PeWriter& writer) {
    catalogue_ = NewCatalogue();
    Open(catalogue_.Get(), writer);
  }
  std::u16string Render(const char* member, const char16_t* name) {
    return Text(Call(catalogue_.Get(), member, {Variant(name)}));
  }
  std::u16string Version() { return Text(Call(catalogue_.Get(), "GetVersionInfo")); }

  ComPtr<IDispatch> catalogue_;
};

TEST_F(TextMembersTest, StringBlocks) {
  PeWriter writer;
  std::vector<std::u16string> first(16);
  first[1] = u"Hello";
  first[2] = u"a\nb";
  first[3] = u"a\r\nb";
  first[4] = u"a\rb";
  first[5] = std::u16string(u"cut\0here", 8);
  writer.Add(6, 1, 0x0409, StringBlock(first));
  std::vector<std::u16string> seventh(16);
  seventh[0] = u"first";
  seventh[15] = u"last";
  writer.Add(6, 7, 0x0409, StringBlock(seventh));
  writer.Add(6, 8, 0x0409, StringBlock(std::vector<std::u16string>(16)));
  OpenModule(writer);
  EXPECT_EQ(Render("GetString", u"#1"),
            u"1: Hello\r\n2: a\r\nb\r\n3: a\r\nb\r\n4: a\rb\r\n5: cut\r\n");
  EXPECT_EQ(Render("GetString", u"#7"), u"96: first\r\n111: last\r\n");
  EXPECT_EQ(Render("GetString", u"#8"), u"");
  EXPECT_TRUE(reports_.Reports().empty());
}

TEST_F(TextMembersTest, StringFailuresAreReported) {
  PeWriter writer;
  writer.Add(6, 1, 0x0409, StringBlock({u"zero"}));
  // A block cut inside its third entry: the entries before it stay.
  std::vector<uint8_t> cut = StringBlock({u"one", u"two", u"three"});
  cut.resize(2 + 6 + 2 + 6 + 2 + 4);
  writer.Add(6, 3, 0x0409, cut);
  OpenModule(writer);

  // A missing block: taking the bytes, then each of the 16 counts.
  EXPECT_EQ(Render("GetString", u"#9"), u"");
  std::vector<int32_t> missing(17, 9);
  missing[0] = 13;
  EXPECT_EQ(reports_.Reports(), Repeated("GetString", missing));

  reports_.Clear();
  EXPECT_EQ(Render("GetString", u"#3"), u"32: one\r\n33: two\r\n");
  EXPECT_EQ(reports_.Reports(), Repeated("GetString", std::vector<int32_t>(14, 9)));

  // A block number that is no number, or whose identifiers overflow: after the missing
  // bytes, the number is reported and no identifier is walked.
  reports_.Clear();
  EXPECT_EQ(Render("GetString", u"#X"), u"");
  EXPECT_EQ(reports_.Reports(), Repeated("GetString", {13, 13}));
  reports_.Clear();
  EXPECT_EQ(Render("GetString", u"#134217729"), u"");
  EXPECT_EQ(reports_.Reports(), Repeated("GetString", {13, 6}));
}

TEST_F(TextMembersTest, MessageTables) {
  PeWriter writer;
  writer.Add(11, 1, 0x0409,
             MessageTable({{1, u"First\r\n"},
                           {2, u"Second\r\n", false},
                           {0xC0000005u, u"Access\n"},
                           {0xC0000006u, u"no break"},
                           {0xC0000007u, u"next"}}));
  OpenModule(writer);
  EXPECT_EQ(Render("GetMessageTable", u"#1"),
            u"1: First\r\n2: Second\r\n-1073741819: Access\r\n-1073741818: no break"
            u"-1073741817: next");
  EXPECT_TRUE(reports_.Reports().empty());
  EXPECT_EQ(Render("GetMessageTable", u"#2"), u"");
  EXPECT_EQ(reports_.Reports(), Repeated("GetMessageTable", {13, 9}));
}

TEST_F(TextMembersTest, Accelerators) {
  PeWriter writer;
  std::vector<uint8_t> table = Accelerators({{0x0D, 0x4E, 100}, {0x1D, 0x70, 40000}});
  table.insert(table.end(), {1, 2, 3, 4});  // 20 bytes: the last 4 are ignored
  writer.Add(9, u"KEYS", 0x0409, table);
  writer.Add(9, 2, 0x0409, Accelerators({{0x00, 0x61, 1}, {0x01, 0x03, 65535}}));
  OpenModule(writer);
  EXPECT_EQ(Render("GetAccelerators", u"keys"),
            u"Shift+Ctrl+N (cmdID = 100)\r\nShift+Ctrl+Alt+F1 (cmdID = -25536)\r\n");
  EXPECT_EQ(Render("GetAccelerators", u"#2"),
            u"Virtual Key 97 (cmdID = 1)\r\nCANCEL (cmdID = -1)\r\n");
  EXPECT_TRUE(reports_.Reports().empty());
  EXPECT_EQ(Render("GetAccelerators", u"#3"), u"");
  EXPECT_EQ(reports_.Reports(), Repeated("GetAccelerators", {13, 9, 9, 9}));
}

TEST_F(TextMembersTest, MenusNestAndRepeat) {
  PeWriter writer;
  writer.Add(4, 1, 0x0409,
             ClassicMenu({Popup(u"&File", {Command(u"&Open\tCtrl+O", 101, MFS_CHECKED),
                                           Popup(u"More", {Separator(), Command(u"x", 40000)})}),
                          Command(u"&Help", 7)}));
  writer.Add(4, 2, 0x0409, ClassicMenu({}));
  writer.Add(4, 3, 0x0409, ExtendedMenu({Popup(u"Edit", {Command(u"Undo", 10)}, 9)}));
  OpenModule(writer);
  const std::u16string rendered = Render("GetMenuText", u"#1");
  // Classic popups report their submenu's handle as the identifier.
  const size_t handle = rendered.find(u" (cmdID = ");
  ASSERT_NE(handle, std::u16string::npos);
  EXPECT_EQ(rendered.substr(0, 5), u"&File");
  const std::u16string rest = rendered.substr(rendered.find(u"\r\n") + 2);
  EXPECT_EQ(rest.substr(0, rest.find(u"More")),
            u".....&Open\tCtrl+O (checked) (cmdID = 101)\r\n.....");
  EXPECT_EQ(rest.substr(rest.find(u")\r\n", rest.find(u"More")) + 3),
            u"..........[MENU SEPARATOR]\r\n..........x (cmdID = 40000)\r\n&Help (cmdID = 7)\r\n");
  // Extended templates keep their popups' identifiers: two calls give the same text.
  const std::u16string extended = u"Edit (cmdID = 9)\r\n.....Undo (cmdID = 10)\r\n";
  EXPECT_EQ(Render("GetMenuText", u"#3"), extended);
  EXPECT_EQ(Render("GetMenuText", u"#3"), extended);
  EXPECT_EQ(Render("GetMenuText", u"#2"), u"");
  EXPECT_EQ(Render("GetMenuText", u"#4"), u"");
  EXPECT_TRUE(reports_.Reports().empty());
  EXPECT_EQ(LiveMenuCountForTesting(), 0u);
}

TEST_F(TextMembersTest, AHostileNestingEndsTheWalk) {
  MenuItem deepest = Command(u"bottom", 1);
  for (int level = 0; level < 300; ++level) deepest = Popup(u"p", {deepest}, 10);
  PeWriter writer;
  writer.Add(4, 1, 0x0409, ExtendedMenu({deepest}));
  OpenModule(writer);
  const std::u16string rendered = Render("GetMenuText", u"#1");
  EXPECT_EQ(rendered.find(u"bottom"), std::u16string::npos);
  EXPECT_LE(reports_.Reports().size(), 1u);
  EXPECT_EQ(LiveMenuCountForTesting(), 0u);
}

TEST_F(TextMembersTest, VersionOfTheModuleFile) {
  PeWriter writer;
  writer.Add(
      16, 1, 0x0409,
      VersionInfo(
          {1, 2, 3, 4},
          {{u"040704E4", {{u"FileVersion", u"eins"}, {u"CompanyName", u"Firma"}}},
           {u"040904B0",
            {{u"FileVersion", u"one"}, {u"InternalName", u""}, {u"OriginalFilename", u"m.dll"}}}},
          {{0x0409, 0x04B0}, {0x0407, 0x04E4}}));
  OpenModule(writer);
  EXPECT_EQ(Version(), u"OriginalFilename:\r\n\tm.dll\r\nFileVersion:\r\n\tone\r\n");
  EXPECT_TRUE(reports_.Reports().empty());

  // No version information: the buffer, the read, the translation and each key.
  PeWriter none;
  none.Add(10, 1, 0x0409, {1});
  OpenModule(none);
  EXPECT_EQ(Version(), u"");
  EXPECT_EQ(reports_.Reports(), Repeated("GetVersionInfo", std::vector<int32_t>(11, 9)));
}

TEST_F(TextMembersTest, WithoutAModuleTheHostsOwnModuleIsRendered) {
  PeWriter host;
  host.Add(
      16, 1, 0x0409,
      VersionInfo({1, 0, 0, 0}, {{u"040904B0", {{u"ProductName", u"Host"}}}}, {{0x0409, 0x04B0}}));
  host.Add(9, 1, 0x0409, Accelerators({{0x01, 0x41, 5}}));
  const std::string path = dir_.Write("host.exe", host.Build());
  ASSERT_TRUE(RegisterHostModuleFile(path.c_str()));
  catalogue_ = NewCatalogue();
  EXPECT_EQ(Version(), u"ProductName:\r\n\tHost\r\n");
  EXPECT_EQ(Render("GetAccelerators", u"#1"), u"A (cmdID = 5)\r\n");
  RegisterHostModuleFile(nullptr);
  EXPECT_TRUE(reports_.Reports().empty());
}

TEST_F(TextMembersTest, AFailedReportEndsTheOperationWithItsError) {
  PeWriter writer;
  writer.Add(6, 1, 0x0409, StringBlock({u"x"}));
  OpenModule(writer);
  CoRevokeClassObject(CLSID_clsQ7elErrorHandlerA);  // nothing to report to
  EXPECT_EQ(ErrorOf([&] { Render("GetString", u"#2"); }), 429);
  EXPECT_EQ(ErrorOf([&] { Render("GetAccelerators", u"#2"); }), 429);
  EXPECT_EQ(Render("GetString", u"#1"), u"0: x\r\n");
}

}  // namespace
}  // namespace orvex::test
