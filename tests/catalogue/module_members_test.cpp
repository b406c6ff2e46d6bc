// The catalogue's module members and the holder class, driven as a late-bound client
// drives them: by ProgID, by name, with scripted message boxes.
#include <gtest/gtest.h>

#include <cstdlib>

#include "catalogue/bas_q7_resf_files_a.h"
#include "pe_writer/pe_writer.h"
#include "platform/fs/drive_testing.h"
#include "platform/fs/fs.h"
#include "platform/module/module.h"
#include "platform/ole/late_bound.h"
#include "platform/text/text.h"
#include "platform/user/message_box_script.h"
#include "server/class_catalogue.h"
#include "server/frame/thread_module_state.h"
#include "support/temp_dir.h"

namespace orvex {
namespace {

int32_t ErrorNumber(const std::function<void()>& call) {
  try {
    call();
  } catch (const RuntimeError& e) {
    return e.Number();
  }
  return 0;
}

TEST(GetFileBaseName, TakesTheLastPieceBeforeItsFirstDot) {
  struct Case {
    std::u16string_view path;
    std::u16string_view base;
  };
  const Case cases[] = {
      {u"C:\\Windows\\System32\\shell32.dll", u"shell32"},
      {u"d:/Data/MY FILE.tar.gz", u"MY FILE"},
      {u"notes", u"notes"},
      {u"", u""},
      {u".profile", u""},
      {u"dir\\.hidden.txt", u""},
      {u"a\\b/c.d", u"c"},  // "/" anywhere makes "/" the separator
      {u"x/y\\z.dll", u"y\\z"},
      {u"C:\\dir.v2\\file", u"file"},
  };
  for (const Case& c : cases) EXPECT_EQ(GetFileBaseName(c.path), c.base) << Utf16ToUtf8(c.path);
  for (std::u16string_view path : {u"C:\\Temp\\", u"dir/", u"\\", u"a\\b/"})
    EXPECT_EQ(ErrorNumber([&] { GetFileBaseName(path); }), 9) << Utf16ToUtf8(path);
}

TEST(ProperCase, CapitalisesEachWord) {
  EXPECT_EQ(ProperCase(u"MY FILE"), u"My File");
  EXPECT_EQ(ProperCase(u"shell32"), u"Shell32");
  EXPECT_EQ(ProperCase(u"two\twords\r\nand\x0Bmore\x0C"
                       u"end"),
            u"Two\tWords\r\nAnd\x0BMore\x0C"
            u"End");
  EXPECT_EQ(ProperCase(u"o'neil-SMITH_x"), u"O'neil-smith_x");
  EXPECT_EQ(ProperCase(u"\u00e9COLE \u00c9T\u00c9"), u"\u00c9cole \u00c9t\u00e9");
  EXPECT_EQ(ProperCase(std::u16string(u"a\0b", 3)), std::u16string(u"A\0B", 3));
  // Beyond Latin-1: the same case pairs as resource names.
  const struct {
    std::u16string text, proper;
  } cases[] = {
      {u"\u00ff\u0160\u0152", u"\u0178\u0161\u0153"},  // y diaeresis, s caron, oe
      {u"\u03c3\u039f\u03a6\u038a\u0391", u"\u03a3\u03bf\u03c6\u03af\u03b1"},  // tonos
      {u"\u03c2\u03ab", u"\u03c2\u03cb"},                                      // final sigma stays
      {u"\u0451\u0416\u0418\u041a \u045f", u"\u0401\u0436\u0438\u043a \u040f"},
      {u"\u0131\u0130", u"\u0131\u0130"},  // no one-to-one partner
  };
  for (const auto& c : cases) EXPECT_EQ(ProperCase(c.text), c.proper) << Utf16ToUtf8(c.text);
}

class ModuleMembersTest : public testing::Test {
 protected:
  void SetUp() override {
    SetDriveRootForTesting(drive_.Path());
    RegisterOrvex10Classes();
    test::PeWriter writer;
    writer.Add(test::ResId(10), test::ResId(1), 0x0409, test::Bytes("payload"));
    module_ = dir_.Write("Sample.Module.dll", writer.Build());
  }
  void TearDown() override {
    // Empty the slot and release this thread's module for the next test.
    CreateObject(u"Orvex10.clsQ7ResfResourceHandlerA").Reset();
    HMODULE& handle = GetThreadModuleState().ThreadModuleHandle;
    if (handle != 0) FreeLibrary(handle);
    handle = 0;
    SetDriveRootForTesting("");
  }

  static ComPtr<IDispatch> NewCatalogue() {
    return CreateObject(u"Orvex10.clsQ7ResfResourceTypesA");
  }
  static void SetFilename(IDispatch* catalogue, std::u16string_view name) {
    PutProperty(catalogue, "Filename", Variant(name));
  }
  static std::u16string Text(IDispatch* catalogue, const char* member) {
    return GetProperty(catalogue, member).ToString();
  }
  static int32_t Handle(IDispatch* catalogue) {
    return GetProperty(catalogue, "HandleModule").ToLong();
  }
  static HMODULE ThreadHandle() { return GetThreadModuleState().ThreadModuleHandle; }
  static bool HasPayload(HMODULE module) {
    return FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(10)) != 0;
  }

  test::TempDir drive_;
  test::TempDir dir_;
  std::string module_;
};

TEST_F(ModuleMembersTest, EmptyFilenameRightAfterCreationLoadsNothingAndShowsNothing) {
  ScriptedMessageBoxes boxes;
  ComPtr<IDispatch> catalogue = NewCatalogue();
  SetFilename(catalogue.Get(), u"");
  EXPECT_EQ(boxes.Count(), 0u);
  EXPECT_EQ(Handle(catalogue.Get()), 0);
  EXPECT_EQ(Text(catalogue.Get(), "FilePartFileName"), u"");
  EXPECT_EQ(Text(catalogue.Get(), "Filename"), u"");
  EXPECT_EQ(ThreadHandle(), 0u);
}

TEST_F(ModuleMembersTest, AMissingFileShowsOneInvalidLibraryBoxAndKeepsTheName) {
  ScriptedMessageBoxes boxes;
  ComPtr<IDispatch> catalogue = NewCatalogue();
  std::u16string missing = Utf8ToUtf16(dir_.File("no such file.DLL"));
  SetFilename(catalogue.Get(), missing);
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Calls()[0], (MessageBoxCall{0, "Invalid Library", "Error...", MB_OK | 0x10}));
  EXPECT_EQ(Handle(catalogue.Get()), 0);
  EXPECT_EQ(ThreadHandle(), 0u);
  EXPECT_EQ(Text(catalogue.Get(), "Filename"), missing);
  EXPECT_EQ(Text(catalogue.Get(), "FilePartFileName"), u"No Such File");
}

TEST_F(ModuleMembersTest, AssigningTheSameFileTwiceReleasesTheFirstModule) {
  ScriptedMessageBoxes boxes;
  ComPtr<IDispatch> catalogue = NewCatalogue();
  SetFilename(catalogue.Get(), Utf8ToUtf16(module_));
  HMODULE first = ThreadHandle();
  ASSERT_NE(first, 0u);
  EXPECT_EQ(Handle(catalogue.Get()), static_cast<int32_t>(first));
  EXPECT_EQ(Text(catalogue.Get(), "FilePartFileName"), u"Sample");

  SetFilename(catalogue.Get(), Utf8ToUtf16(module_));
  HMODULE second = ThreadHandle();
  EXPECT_NE(second, first);
  EXPECT_FALSE(HasPayload(first));  // released before the second load
  EXPECT_TRUE(HasPayload(second));
  EXPECT_EQ(Handle(catalogue.Get()), static_cast<int32_t>(second));
  EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(ModuleMembersTest, EmptyFilenameAfterALoadReleasesTheModuleButKeepsHandleModule) {
  ComPtr<IDispatch> catalogue = NewCatalogue();
  SetFilename(catalogue.Get(), Utf8ToUtf16(module_));
  HMODULE loaded = ThreadHandle();
  SetFilename(catalogue.Get(), u"");
  EXPECT_EQ(ThreadHandle(), 0u);
  EXPECT_FALSE(HasPayload(loaded));
  EXPECT_EQ(Handle(catalogue.Get()), static_cast<int32_t>(loaded));
}

TEST_F(ModuleMembersTest, HandleModuleAssignmentTouchesOnlyTheObject) {
  ComPtr<IDispatch> catalogue = NewCatalogue();
  SetFilename(catalogue.Get(), Utf8ToUtf16(module_));
  HMODULE loaded = ThreadHandle();
  PutProperty(catalogue.Get(), "HandleModule", Variant(1234));
  EXPECT_EQ(Handle(catalogue.Get()), 1234);
  EXPECT_EQ(ThreadHandle(), loaded);
  EXPECT_TRUE(HasPayload(ThreadHandle()));
  // Text coerces as the runtime does.
  PutProperty(catalogue.Get(), "HandleModule", Variant(u" 77 "));
  EXPECT_EQ(Handle(catalogue.Get()), 77);
  EXPECT_EQ(ErrorNumber([&] { PutProperty(catalogue.Get(), "HandleModule", Variant(u"x")); }), 13);
}

TEST_F(ModuleMembersTest, APathEndingInItsSeparatorFailsWithError9AfterReleasingTheModule) {
  ScriptedMessageBoxes boxes;
  ComPtr<IDispatch> catalogue = NewCatalogue();
  SetFilename(catalogue.Get(), Utf8ToUtf16(module_));
  HMODULE loaded = ThreadHandle();

  DISPID filename = GetDispId(catalogue.Get(), "Filename");
  Variant value(u"C:\\Temp\\");
  DISPID put = DISPID_PROPERTYPUT;
  DISPPARAMS params{&value, &put, 1, 1};
  EXCEPINFO info{};
  EXPECT_EQ(catalogue->Invoke(filename, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, &info,
                              nullptr),
            DISP_E_EXCEPTION);
  EXPECT_EQ(static_cast<uint32_t>(info.scode), 0x800A0009u);
  EXPECT_EQ(BstrView(info.bstrDescription), u"Subscript out of range");
  SysFreeString(info.bstrDescription);
  SysFreeString(info.bstrSource);

  EXPECT_EQ(ThreadHandle(), 0u);
  EXPECT_FALSE(HasPayload(loaded));
  EXPECT_EQ(Text(catalogue.Get(), "Filename"), u"C:\\Temp\\");
  EXPECT_EQ(Text(catalogue.Get(), "FilePartFileName"), u"Sample");  // unchanged
  EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(ModuleMembersTest, ReleasingTheCatalogueLeavesTheModuleUntilTheNextFilename) {
  ComPtr<IDispatch> first = NewCatalogue();
  SetFilename(first.Get(), Utf8ToUtf16(module_));
  HMODULE loaded = ThreadHandle();
  ComPtr<IDispatch> second = NewCatalogue();
  first.Reset();  // torn down: empties the slot, but not the module
  EXPECT_EQ(ThreadHandle(), loaded);
  EXPECT_TRUE(HasPayload(loaded));

  ScriptedMessageBoxes boxes;
  SetFilename(second.Get(), u"");
  EXPECT_FALSE(HasPayload(loaded));
}

TEST_F(ModuleMembersTest, CataloguesOnOneThreadShareTheModule) {
  ComPtr<IDispatch> a = NewCatalogue();
  ComPtr<IDispatch> b = NewCatalogue();
  SetFilename(a.Get(), Utf8ToUtf16(module_));
  HMODULE fromA = ThreadHandle();
  SetFilename(b.Get(), Utf8ToUtf16(module_));
  EXPECT_FALSE(HasPayload(fromA));
  EXPECT_EQ(Handle(a.Get()), static_cast<int32_t>(fromA));  // still the released value
  EXPECT_EQ(Handle(b.Get()), static_cast<int32_t>(ThreadHandle()));
}

TEST_F(ModuleMembersTest, DriveAndAnsiPaths) {
  ScriptedMessageBoxes boxes;
  ComPtr<IDispatch> catalogue = NewCatalogue();
  // A path on drive C goes through the drive mapping.
  std::string folder = drive_.Path() + "/Modules";
  ASSERT_EQ(CreateDirectoryA("C:\\Modules", nullptr), TRUE);
  test::PeWriter writer;
  writer.Add(test::ResId(10), test::ResId(1), 0x0409, test::Bytes("x"));
  {
    auto bytes = writer.Build();
    std::string target = folder + "/mapped.dll";
    FILE* file = std::fopen(target.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  }
  SetFilename(catalogue.Get(), u"C:\\Modules\\mapped.dll");
  EXPECT_NE(ThreadHandle(), 0u);
  EXPECT_EQ(Text(catalogue.Get(), "FilePartFileName"), u"Mapped");

  // Characters outside the ANSI code page come back changed.
  SetFilename(catalogue.Get(), u"/nowhere/\u03a9mega.dll");
  EXPECT_EQ(Text(catalogue.Get(), "Filename"), u"/nowhere/?mega.dll");
  EXPECT_EQ(Text(catalogue.Get(), "FilePartFileName"), u"\u03a9mega");
  EXPECT_EQ(boxes.Count(), 1u);
}

TEST_F(ModuleMembersTest, AHandlerOnAThreadWithoutCatalogueCreatesOneAndKeepsIt) {
  ComPtr<IDispatch> handler = CreateObject(u"Orvex10.clsQ7ResfResourceHandlerA");
  ComPtr<IDispatch> first = GetProperty(handler.Get(), "Resources").ToDispatch();
  ASSERT_TRUE(first);
  ComPtr<IDispatch> again = GetProperty(handler.Get(), "Resources").ToDispatch();
  EXPECT_EQ(first.Get(), again.Get());
}

}  // namespace
}  // namespace orvex
