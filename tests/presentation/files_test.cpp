// SaveText, SaveData, SaveResDataToFile and EmptyResourceTmpFolder through the catalogue's
// automation interface; the temporary file naming rule; symbolic links in the temporary
// folder.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "catalogue/catalogue_test_support.h"
#include "platform/fs/fs.h"
#include "platform/ole/oleauto.h"
#include "platform/text/text.h"
#include "presentation/files.h"

namespace orvex::test {

void PrintTo(const Report& report, std::ostream* out) {
  *out << report.source << " " << report.number;
}

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::set<std::string> Names(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
  return names;
}

Variant ByteArray(const std::string& bytes) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
  if (!bytes.empty()) std::memcpy(array->pvData, bytes.data(), bytes.size());
  return Variant::FromArray(array);
}

std::string ArrayText(const Variant& v) {
  if (v.vt != (VT_ARRAY | VT_UI1)) return "<no array>";
  return std::string(static_cast<const char*>(v.parray->pvData), v.parray->rgsabound[0].cElements);
}

class FilesTest : public CatalogueTest {
 protected:
  void SetUp() override {
    CatalogueTest::SetUp();
    catalogue_ = NewCatalogue();  // creates the temporary folder
    tmpFolder_ = *MapPath("C:\\Retmpfld");
    outside_ = dir_.File("outside");
    fs::create_directory(outside_);
  }
  void TearDown() override {
    fs::remove_all(tmpFolder_);
    CatalogueTest::TearDown();
  }

  void OpenSample() {
    PeWriter writer;
    writer.Add(10, 1, 0x0409, Bytes(std::string("resource\0bytes\xFF", 15)));
    writer.Add(u"AVI", u"CLIP", 0x0409, Bytes("clip"));
    writer.Add(10, 2, 0x0409, {});
    Open(catalogue_.Get(), writer);
  }
  int32_t SaveResDataToFile(const std::string& path, const char16_t* type, const char16_t* name) {
    Variant file(Utf8ToUtf16(path));
    return Call(catalogue_.Get(), "SaveResDataToFile",
                {Variant::RefTo(file), Variant(type), Variant(name)})
        .ToLong();
  }
  Variant SaveData(const std::string& path, Variant data) {
    return Call(catalogue_.Get(), "SaveData", {Variant(Utf8ToUtf16(path)), Variant::RefTo(data)});
  }
  Variant SaveText(const std::string& path, std::u16string_view text) {
    Variant value(text);
    return Call(catalogue_.Get(), "SaveText", {Variant(Utf8ToUtf16(path)), Variant::RefTo(value)});
  }
  bool EmptyResourceTmpFolder(std::optional<bool> bMsg = std::nullopt) {
    Variant flag = bMsg ? Variant(*bMsg) : Variant::Missing();
    return Call(catalogue_.Get(), "EmptyResourceTmpFolder", {flag}).ToLong() != 0;
  }
  std::vector<Report> TakeReports() {
    std::vector<Report> out = reports_.Reports();
    reports_.Clear();
    return out;
  }

  ComPtr<IDispatch> catalogue_;
  std::string tmpFolder_;
  std::string outside_;
};

TEST_F(FilesTest, SavedResourceHoldsTheBytesOfGetDataArray) {
  OpenSample();
  const std::string posix = dir_.File("out.bin");
  WriteFile(posix, std::string(100, 'x'));  // replaced whole
  for (const char16_t* type : {u"10", u"AVI"}) {
    const char16_t* name = type[0] == u'1' ? u"#1" : u"clip";
    const Variant data = Call(catalogue_.Get(), "GetDataArray", {Variant(type), Variant(name)});
    EXPECT_EQ(SaveResDataToFile(posix, type, name), 0);
    EXPECT_EQ(ReadFile(posix), ArrayText(data));
    EXPECT_EQ(SaveResDataToFile("C:\\Retmpfld\\saved.bin", type, name), 0);
    EXPECT_EQ(ReadFile(tmpFolder_ + "/saved.bin"), ArrayText(data));
  }
  EXPECT_EQ(ReadFile(posix).size(), 4u);
  EXPECT_TRUE(reports_.Reports().empty());
  EXPECT_EQ(Names(dir_.Path()), (std::set<std::string>{"m.dll", "out.bin", "outside"}));
}

TEST_F(FilesTest, AResourceWithoutBytesIsReportedAndNeverEmptiesAnExistingFile) {
  OpenSample();
  const std::string existing = dir_.File("existing.bin");
  WriteFile(existing, "keep me");
  for (const char16_t* name : {u"#2", u"#3"}) {  // size 0, missing
    EXPECT_EQ(SaveResDataToFile(existing, u"10", name), 0);
    EXPECT_EQ(ReadFile(existing), "keep me");
    EXPECT_EQ(TakeReports(),
              (std::vector<Report>{{"clsQ7ResfResourceTypesA.SaveResDataToFile", 13}}));
  }
  const std::string fresh = dir_.File("fresh.bin");
  EXPECT_EQ(SaveResDataToFile(fresh, u"10", u"#3"), 0);
  EXPECT_TRUE(fs::exists(fresh));
  EXPECT_EQ(ReadFile(fresh), "");
}

TEST_F(FilesTest, SaveDataWritesExactlyTheArraysBytes) {
  const std::string path = dir_.File("data.bin");
  WriteFile(path, std::string(50, 'o'));
  EXPECT_EQ(SaveData(path, ByteArray(std::string("\0ab\0", 4))).vt, VT_EMPTY);
  EXPECT_EQ(ReadFile(path), std::string("\0ab\0", 4));
  SaveData(path, ByteArray(""));  // an empty array empties the file
  EXPECT_TRUE(fs::exists(path));
  EXPECT_EQ(ReadFile(path), "");

  // No byte array: reported, and the file that stands there keeps its content.
  WriteFile(path, "old");
  for (Variant bad : {Variant(u"text"), Variant(int32_t{7}), Variant()}) {
    SaveData(path, bad);
    EXPECT_EQ(TakeReports(), (std::vector<Report>{{"clsQ7ResfResourceTypesA.SaveData", 13}}));
  }
  EXPECT_EQ(ReadFile(path), "old");
  EXPECT_TRUE(reports_.Reports().empty());
}

TEST_F(FilesTest, SaveTextWritesAnsiTextAndReplacesTheWholeFile) {
  const std::string path = dir_.File("text.txt");
  WriteFile(path, std::string(100, 'o'));
  EXPECT_EQ(SaveText(path, u"0123456789").vt, VT_EMPTY);
  EXPECT_EQ(ReadFile(path), "0123456789");
  SaveText(path, u"caf\u00E9\u20AC\r\n");  // Windows-1252: E9 and 80, no terminator added
  EXPECT_EQ(ReadFile(path), "caf\xE9\x80\r\n");
  SaveText(path, u"");
  EXPECT_EQ(ReadFile(path), "");
  EXPECT_TRUE(reports_.Reports().empty());
}

TEST_F(FilesTest, AFileThatCannotBeOpenedReportsTheOpenAndTheWrite) {
  struct Case {
    std::string path;
    int32_t openError;
  };
  const Case cases[] = {
      {dir_.File("no/such/folder.txt"), 76},
      {"C:\\NoFolder\\x.txt", 76},
      {"D:\\x.txt", 76},
      {dir_.Path(), 75},  // a folder
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    SaveText(c.path, u"text");
    EXPECT_EQ(TakeReports(), (std::vector<Report>{{"clsQ7ResfResourceTypesA.SaveText", c.openError},
                                                  {"clsQ7ResfResourceTypesA.SaveText", 52}}));
    SaveData(c.path, ByteArray("x"));
    EXPECT_EQ(TakeReports(),
              (std::vector<Report>{{"clsQ7ResfResourceTypesA.SaveData", c.openError}}));
  }
  EXPECT_EQ(Names(dir_.Path()), (std::set<std::string>{"outside"}));
}

TEST_F(FilesTest, EmptyingTheFolderAsksAndDeletesOnlyOnYes) {
  WriteFile(tmpFolder_ + "/Shell32_R130.wav", "a");
  WriteFile(tmpFolder_ + "/noextension", "b");
  fs::create_directory(tmpFolder_ + "/sub");
  WriteFile(tmpFolder_ + "/sub/inner", "c");
  const std::set<std::string> all = {"Shell32_R130.wav", "noextension", "sub"};

  boxes_.Answer(IDNO);
  EXPECT_FALSE(EmptyResourceTmpFolder());
  EXPECT_EQ(Names(tmpFolder_), all);
  boxes_.Answer(IDNO);
  EXPECT_FALSE(EmptyResourceTmpFolder(true));  // bMsg changes nothing
  EXPECT_EQ(Names(tmpFolder_), all);

  boxes_.Answer(IDYES);
  EXPECT_FALSE(EmptyResourceTmpFolder(true));
  EXPECT_EQ(Names(tmpFolder_), std::set<std::string>{"sub"});  // folders are left alone
  EXPECT_EQ(ReadFile(tmpFolder_ + "/sub/inner"), "c");
  EXPECT_TRUE(reports_.Reports().empty());

  const MessageBoxCall ask{0, "Are you sure you want to empty Resource Temporary Folder",
                           "Empty Retmpfld...", 0x44};
  EXPECT_EQ(boxes_.Calls(), (std::vector<MessageBoxCall>{ask, ask, ask}));

  // Nothing left to delete, then no folder at all: each reported, still False.
  boxes_.Answer(IDYES);
  EXPECT_FALSE(EmptyResourceTmpFolder(false));
  fs::remove_all(tmpFolder_);
  boxes_.Answer(IDYES);
  EXPECT_FALSE(EmptyResourceTmpFolder());
  EXPECT_EQ(reports_.Reports(),
            (std::vector<Report>{{"clsQ7ResfResourceTypesA.EmptyResourceTmpFolder", 53},
                                 {"clsQ7ResfResourceTypesA.EmptyResourceTmpFolder", 76}}));
}

TEST_F(FilesTest, SymbolicLinksInTheTemporaryFolderAreNeverFollowed) {
  const std::string victim = outside_ + "/victim";
  WriteFile(victim, "precious");
  fs::create_symlink(victim, tmpFolder_ + "/planted.wav");
  fs::create_symlink(outside_, tmpFolder_ + "/planted_folder");

  // A save at the link's path replaces the link; a save through a linked folder is refused.
  SaveData("C:\\Retmpfld\\planted.wav", ByteArray("mine"));
  EXPECT_FALSE(fs::is_symlink(tmpFolder_ + "/planted.wav"));
  EXPECT_EQ(ReadFile(tmpFolder_ + "/planted.wav"), "mine");
  SaveText("C:\\Retmpfld\\planted_folder\\victim", u"overwritten");
  EXPECT_EQ(TakeReports(), (std::vector<Report>{{"clsQ7ResfResourceTypesA.SaveText", 75},
                                                {"clsQ7ResfResourceTypesA.SaveText", 52}}));

  // Emptying removes links themselves, never what they point at.
  fs::create_symlink(victim, tmpFolder_ + "/again.wav");
  boxes_.Answer(IDYES);
  EmptyResourceTmpFolder();
  EXPECT_TRUE(Names(tmpFolder_).empty());
  EXPECT_EQ(ReadFile(victim), "precious");
  EXPECT_EQ(Names(outside_), std::set<std::string>{"victim"});

  // The folder itself a link: refused, and nothing outside is touched.
  fs::remove(tmpFolder_);
  fs::create_symlink(outside_, tmpFolder_);
  boxes_.Answer(IDYES);
  EmptyResourceTmpFolder();
  SaveData("C:\\Retmpfld\\victim", ByteArray("x"));
  EXPECT_EQ(TakeReports(),
            (std::vector<Report>{{"clsQ7ResfResourceTypesA.EmptyResourceTmpFolder", 76},
                                 {"clsQ7ResfResourceTypesA.SaveData", 75}}));
  EXPECT_EQ(ReadFile(victim), "precious");
  fs::remove(tmpFolder_);
}

TEST(ResourceTmpFileName, FollowsTheNamingRule) {
  struct Case {
    std::u16string filePart, resName, expected;
  };
  const Case cases[] = {
      {u"Shell32", u"#130", u"C:\\Retmpfld\\Shell32_R130.wav"},
      {u"Shell32", u"LOGO", u"C:\\Retmpfld\\Shell32_ROGO.wav"},
      {u"", u"#130", u"C:\\Retmpfld\\_R130.wav"},
      {u"Mod", u"#", u"C:\\Retmpfld\\Mod_R.wav"},
      {u"Mod", u"", u"C:\\Retmpfld\\Mod_R.wav"},
      // Names from a hostile module cannot lead out of the folder.
      {u"Mod", u"#..\\..\\x", u"C:\\Retmpfld\\Mod_R.._.._x.wav"},
      {u"a/b", u"X/y", u"C:\\Retmpfld\\a_b_R_y.wav"},
  };
  for (const Case& c : cases) EXPECT_EQ(ResourceTmpFileNameFor(c.filePart, c.resName), c.expected);
}

}  // namespace
}  // namespace orvex::test
