#include "platform/user/dialog_template.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "pe_writer/pe_writer.h"
#include "platform/module/module.h"
#include "platform/user/dialog.h"
#include "platform/user/window.h"
#include "support/temp_dir.h"

namespace orvex {
namespace {

// Little template writer: fields in the order the layouts store them.
struct Writer {
  std::vector<uint8_t> bytes;
  void Word(uint16_t v) {
    bytes.push_back(static_cast<uint8_t>(v));
    bytes.push_back(static_cast<uint8_t>(v >> 8));
  }
  void Dword(uint32_t v) {
    Word(static_cast<uint16_t>(v));
    Word(static_cast<uint16_t>(v >> 16));
  }
  void Text(const std::u16string& s) {
    for (char16_t c : s) Word(c);
    Word(0);
  }
  void Ordinal(uint16_t v) {
    Word(0xFFFF);
    Word(v);
  }
  void Align() {
    while (bytes.size() % 4) bytes.push_back(0);
  }
};

// A classic template with a font, one text-titled button with 2 bytes of creation data and
// one icon static titled by ordinal.
std::vector<uint8_t> Classic() {
  Writer w;
  w.Dword(0x80C800C0 | DS_SETFONT);
  w.Dword(0);
  w.Word(2);
  for (int v : {1, 2, 100, 50}) w.Word(static_cast<uint16_t>(v));
  w.Word(0);           // no menu
  w.Text(u"MyClass");  // class by text
  w.Text(u"Title");
  w.Word(8);
  w.Text(u"MS Shell Dlg");
  w.Align();
  w.Dword(0x50010000);
  w.Dword(0);
  for (int v : {7, 8, 50, 14}) w.Word(static_cast<uint16_t>(v));
  w.Word(1);  // IDOK
  w.Ordinal(0x80);
  w.Text(u"OK");
  w.Word(2);
  w.Word(0xABCD);
  w.Align();
  w.Dword(0x50000003);  // SS_ICON
  w.Dword(0);
  for (int v : {7, 30, 21, 20}) w.Word(static_cast<uint16_t>(v));
  w.Word(0xFFFF);  // IDC_STATIC
  w.Ordinal(0x82);
  w.Ordinal(32516);
  w.Word(0);
  return w.bytes;
}

// An extended template with a DS_SHELLFONT font and one edit with an extended id.
std::vector<uint8_t> Extended() {
  Writer w;
  w.Word(1);
  w.Word(0xFFFF);
  w.Dword(77);          // help id
  w.Dword(0x00010000);  // WS_EX_CONTROLPARENT
  w.Dword(0x40000000 | DS_SHELLFONT);
  w.Word(1);
  for (int v : {0, 0, 200, 100}) w.Word(static_cast<uint16_t>(v));
  w.Ordinal(5);  // menu by ordinal
  w.Word(0);
  w.Word(0);
  w.Word(9);
  w.Word(700);
  w.bytes.push_back(1);
  w.bytes.push_back(204);
  w.Text(u"Tahoma");
  w.Align();
  w.Dword(99);
  w.Dword(0x200);  // WS_EX_CLIENTEDGE
  w.Dword(0x50810080);
  for (int v : {5, 6, 70, 12}) w.Word(static_cast<uint16_t>(v));
  w.Dword(0x12345);
  w.Ordinal(0x81);
  w.Word(0);
  w.Word(0);
  return w.bytes;
}

Expected<DialogTemplate> Parse(const std::vector<uint8_t>& bytes) {
  return ParseDialogTemplate(AsBytes(bytes.data(), bytes.size()));
}

TEST(DialogTemplate, ReadsClassicLayout) {
  auto parsed = Parse(Classic());
  ASSERT_TRUE(parsed) << parsed.GetError().message;
  const DialogTemplate& d = *parsed;
  EXPECT_FALSE(d.extended);
  EXPECT_EQ(d.style, 0x80C800C0u | DS_SETFONT);
  EXPECT_EQ(d.x, 1);
  EXPECT_EQ(d.cy, 50);
  EXPECT_FALSE(d.menu.isOrdinal);
  EXPECT_TRUE(d.menu.text.empty());
  EXPECT_EQ(d.windowClass.text, u"MyClass");
  EXPECT_EQ(d.title.text, u"Title");
  ASSERT_TRUE(d.hasFont);
  EXPECT_EQ(d.font.pointSize, 8);
  EXPECT_EQ(d.font.face, u"MS Shell Dlg");
  ASSERT_EQ(d.items.size(), 2u);
  EXPECT_EQ(d.items[0].id, 1u);
  EXPECT_TRUE(d.items[0].windowClass.isOrdinal);
  EXPECT_EQ(std::u16string(PredefinedDialogClass(d.items[0].windowClass.ordinal)), u"Button");
  EXPECT_EQ(d.items[0].title.text, u"OK");
  EXPECT_EQ(d.items[0].creationDataSize, 2);
  EXPECT_EQ(d.items[1].id, 0xFFFFu);  // a WORD id stays unsigned 16-bit here
  EXPECT_TRUE(d.items[1].title.isOrdinal);
  EXPECT_EQ(d.items[1].title.ordinal, 32516);
  EXPECT_EQ(d.items[1].cx, 21);
}

TEST(DialogTemplate, ReadsExtendedLayout) {
  auto parsed = Parse(Extended());
  ASSERT_TRUE(parsed) << parsed.GetError().message;
  const DialogTemplate& d = *parsed;
  EXPECT_TRUE(d.extended);
  EXPECT_EQ(d.helpId, 77u);
  EXPECT_EQ(d.exStyle, 0x00010000u);
  EXPECT_TRUE(d.menu.isOrdinal);
  EXPECT_EQ(d.menu.ordinal, 5);
  EXPECT_EQ(d.font.pointSize, 9);
  EXPECT_EQ(d.font.weight, 700);
  EXPECT_EQ(d.font.italic, 1);
  EXPECT_EQ(d.font.charset, 204);
  EXPECT_EQ(d.font.face, u"Tahoma");
  ASSERT_EQ(d.items.size(), 1u);
  EXPECT_EQ(d.items[0].helpId, 99u);
  EXPECT_EQ(d.items[0].exStyle, 0x200u);
  EXPECT_EQ(d.items[0].style, 0x50810080u);
  EXPECT_EQ(d.items[0].id, 0x12345u);
  EXPECT_EQ(std::u16string(PredefinedDialogClass(d.items[0].windowClass.ordinal)), u"Edit");
}

// Every proper prefix of a valid template fails, at whatever field it stops.
TEST(DialogTemplate, RefusesEveryTruncation) {
  for (const auto& full : {Classic(), Extended()}) {
    for (size_t n = 0; n < full.size(); ++n) {
      std::vector<uint8_t> cut(full.begin(), full.begin() + static_cast<long>(n));
      EXPECT_FALSE(Parse(cut)) << "prefix of " << n << " of " << full.size() << " bytes";
    }
  }
}

TEST(DialogTemplate, RefusesCountsAndCreationDataBeyondTheBytes) {
  auto bigCount = Classic();
  bigCount[8] = 0xFF;
  bigCount[9] = 0xFF;
  EXPECT_FALSE(Parse(bigCount));
  auto bigData = Classic();
  // The button's creation data size: find the 2 followed by 0xABCD and make it huge.
  for (size_t i = 0; i + 3 < bigData.size(); ++i)
    if (bigData[i] == 2 && bigData[i + 1] == 0 && bigData[i + 2] == 0xCD &&
        bigData[i + 3] == 0xAB) {
      bigData[i] = 0xFF;
      bigData[i + 1] = 0x7F;
    }
  EXPECT_FALSE(Parse(bigData));
}

std::vector<uint8_t> ReadSeed(const char* name) {
  std::ifstream in(std::string(ORVEX_SOURCE_DIR) + "/fuzz/dialog_template/seeds/" + name,
                   std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Real templates taken from the platform's comdlg32.dll (#1540, Find) and aclui.dll (#100).
TEST(DialogTemplate, ReadsPlatformTemplates) {
  auto find = Parse(ReadSeed("comdlg32_1540.bin"));
  ASSERT_TRUE(find) << find.GetError().message;
  EXPECT_FALSE(find->extended);
  auto acl = Parse(ReadSeed("aclui_100.bin"));
  ASSERT_TRUE(acl) << acl.GetError().message;
  EXPECT_TRUE(acl->extended);
  for (const char* broken : {"truncated_comdlg32_1540.bin", "truncated_aclui_100.bin"})
    EXPECT_FALSE(Parse(ReadSeed(broken))) << broken;
}

// The platform's own creation of both templates (tests/wine/dialogs/expected.txt): item
// count, classes, ids and rectangles agree with the template mapped by the base units the
// platform reported. None of these controls resizes itself at creation.
TEST(DialogTemplate, MapsLikeThePlatform) {
  std::ifstream in(std::string(ORVEX_SOURCE_DIR) + "/tests/wine/dialogs/expected.txt");
  std::string line;
  struct Seen {
    std::string cls;
    int id, x, y, cx, cy;
  };
  std::vector<std::vector<Seen>> dialogs;
  std::vector<std::pair<int, int>> units;
  while (std::getline(in, line)) {
    if (line.rfind("== ", 0) == 0) dialogs.emplace_back();
    int bx, by;
    if (std::sscanf(line.c_str(), "base units %d x %d", &bx, &by) == 2) units.emplace_back(bx, by);
    char cls[64];
    Seen s{};
    unsigned style;
    if (std::sscanf(line.c_str(), " %63s id %d style %x rect %d %d %d %d", cls, &s.id, &style, &s.x,
                    &s.y, &s.cx, &s.cy) == 7) {
      s.cls = cls;
      dialogs.back().push_back(s);
    }
  }
  ASSERT_EQ(dialogs.size(), 2u);
  ASSERT_EQ(units.size(), 2u);
  const char* seeds[] = {"comdlg32_1540.bin", "aclui_100.bin"};
  for (size_t d = 0; d < 2; ++d) {
    auto parsed = Parse(ReadSeed(seeds[d]));
    ASSERT_TRUE(parsed);
    ASSERT_EQ(parsed->items.size(), dialogs[d].size()) << seeds[d];
    for (size_t i = 0; i < dialogs[d].size(); ++i) {
      const DialogItem& item = parsed->items[i];
      const Seen& seen = dialogs[d][i];
      std::u16string cls = item.windowClass.isOrdinal
                               ? std::u16string(PredefinedDialogClass(item.windowClass.ordinal))
                               : item.windowClass.text;
      EXPECT_EQ(std::string(cls.begin(), cls.end()), seen.cls) << seeds[d] << " item " << i;
      EXPECT_EQ(static_cast<int>(item.id), seen.id);
      auto [bx, by] = units[d];
      EXPECT_EQ(DialogUnitsToPixels(item.x, bx, 4), seen.x);
      EXPECT_EQ(DialogUnitsToPixels(item.y, by, 8), seen.y);
      EXPECT_EQ(DialogUnitsToPixels(item.cx, bx, 4), seen.cx);
      EXPECT_EQ(DialogUnitsToPixels(item.cy, by, 8), seen.cy);
    }
  }
}

// A pop-up template without a font holding one static whose stored id is `id`: a WORD in
// the classic layout, a DWORD in the extended one.
std::vector<uint8_t> OneStatic(bool extended, uint32_t id) {
  Writer w;
  if (extended) {
    w.Word(1);
    w.Word(0xFFFF);
    w.Dword(0);  // help id
    w.Dword(0);
    w.Dword(0x80000000);
  } else {
    w.Dword(0x80000000);
    w.Dword(0);
  }
  w.Word(1);
  for (int v : {0, 0, 100, 50}) w.Word(static_cast<uint16_t>(v));
  for (int i = 0; i < 3; ++i) w.Word(0);  // no menu, the dialog class, no title
  w.Align();
  if (extended) w.Dword(0);  // help id
  if (!extended) w.Dword(0x50000000);
  w.Dword(0);
  if (extended) w.Dword(0x50000000);
  for (int v : {5, 5, 40, 10}) w.Word(static_cast<uint16_t>(v));
  if (extended) {
    w.Dword(id);
  } else {
    w.Word(static_cast<uint16_t>(id));
  }
  w.Ordinal(0x82);
  w.Word(0);  // no title
  w.Word(0);  // no creation data
  return w.bytes;
}

// A control of a classic template has a 16-bit id: a stored 0xFFFF reads back as 65535.
// Extended templates store 32 bits, so 0xFFFFFFFF reads back as -1.
TEST(DialogTemplate, ControlIdsKeepTheWidthTheLayoutStores) {
  const struct {
    bool extended;
    uint32_t stored;
    int id;
  } cases[] = {
      {false, 0xFFFF, 65535},     {false, 0x8000, 32768}, {false, 7, 7},
      {true, 0xFFFFFFFF, -1},     {true, 0xFFFF, 65535},  {true, 0x12345, 0x12345},
      {true, 0xFFFF8000, -32768},
  };
  test::PeWriter writer;
  for (size_t i = 0; i < std::size(cases); ++i) {
    writer.Add(test::ResId(5), test::ResId(static_cast<uint16_t>(i + 1)), 0x0409,
               OneStatic(cases[i].extended, cases[i].stored));
  }
  test::TempDir dir;
  const std::string path = dir.Write("ids.dll", writer.Build());
  const HMODULE module = LoadLibraryExA(path.c_str(), 0, 0);
  ASSERT_NE(module, 0u);
  for (size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    const HWND dialog =
        CreateDialogParamA(module, MAKEINTRESOURCEA(static_cast<uintptr_t>(i + 1)), 0, nullptr, 0);
    ASSERT_NE(dialog, 0u) << i;
    const HWND control = GetWindow(dialog, GW_CHILD);
    EXPECT_EQ(GetDlgCtrlID(control), c.id) << i;
    EXPECT_EQ(GetWindowLongA(control, GWL_ID), c.id) << i;
    EXPECT_EQ(GetDlgItem(dialog, c.id), control) << i;
    DestroyWindow(dialog);
  }
  FreeLibrary(module);
}

}  // namespace
}  // namespace orvex
