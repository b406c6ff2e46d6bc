// Compiled resource files (.res) loaded as modules: the same listing and bytes as a PE
// module of the same resources, and the damaged forms.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "pe_writer/pe_writer.h"
#include "platform/module/listing.h"
#include "platform/module/module.h"
#include "platform/module/res_file.h"
#include "platform/module/ui_language.h"
#include "support/temp_dir.h"

namespace orvex {
namespace {

using test::Bytes;
using test::ListResources;
using test::PeWriter;
using test::TempDir;

class Module {
 public:
  explicit Module(const std::string& path) : handle_(LoadLibraryExA(path.c_str(), 0, 0)) {}
  ~Module() {
    if (handle_ != 0) FreeLibrary(handle_);
  }
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;
  HMODULE get() const { return handle_; }

 private:
  HMODULE handle_;
};

std::string Text(HMODULE module, HRSRC found) {
  const void* data = LockResource(LoadResource(module, found));
  if (data == nullptr) return "<none>";
  return std::string(static_cast<const char*>(data), SizeofResource(module, found));
}

PeWriter Mixed() {
  PeWriter writer;
  writer.Add(10, u"zeta", 0x0407, Bytes("zeta de"))
      .Add(u"AVI", 3, 0x0409, Bytes("clip"))
      .Add(10, u"Alpha", 0x0409, Bytes("alpha"))
      .Add(6, 2, 0x0407, Bytes("strings de"))
      .Add(6, 2, 0x0409, Bytes("strings en"))
      .Add(6, 1, 0x0000, Bytes("neutral"))
      .Add(10, 7, 0x0409, {})
      .Add(u"avi", 1, 0x0409, Bytes("second"));
  return writer;
}

TEST(ResModuleTest, ListsAndReadsAsThePeModuleOfTheSameResources) {
  TempDir dir;
  const PeWriter writer = Mixed();
  Module pe(dir.Write("m.dll", writer.Build()));
  Module res(dir.Write("m.res", writer.BuildResFile()));
  ASSERT_NE(res.get(), 0u);
  const std::vector<std::string> listing = ListResources(res.get());
  EXPECT_EQ(listing, ListResources(pe.get()));
  EXPECT_EQ(listing.front(), "AVI|1|0409|6");  // names first; a name matches in any case

  EXPECT_EQ(Text(res.get(), FindResourceA(res.get(), "#2", MAKEINTRESOURCEA(6))), "strings en");
  EXPECT_EQ(Text(res.get(), FindResourceExA(res.get(), "#6", "#2", 0x0407)), "strings de");
  EXPECT_EQ(Text(res.get(), FindResourceA(res.get(), "ALPHA", "#10")), "alpha");
  EXPECT_EQ(Text(res.get(), FindResourceA(res.get(), "ZETA", "#10")), "zeta de");
  const HRSRC empty = FindResourceA(res.get(), "#7", "#10");
  ASSERT_NE(empty, 0u);
  EXPECT_NE(LockResource(LoadResource(res.get(), empty)), nullptr);
  EXPECT_EQ(SizeofResource(res.get(), empty), 0u);

  // Without a language, both kinds of module follow the thread's UI language.
  SetThreadUILanguage(0x0407);
  EXPECT_EQ(Text(res.get(), FindResourceA(res.get(), "#2", MAKEINTRESOURCEA(6))), "strings de");
  EXPECT_EQ(Text(pe.get(), FindResourceA(pe.get(), "#2", MAKEINTRESOURCEA(6))), "strings de");
  SetThreadUILanguage(0);

  SetLastError(0);
  EXPECT_EQ(FindResourceExA(res.get(), "#6", "#2", 0x0411), 0u);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_LANG_NOT_FOUND);
  EXPECT_EQ(FindResourceA(res.get(), "#3", "#6"), 0u);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
  EXPECT_EQ(FindResourceA(res.get(), "#1", "#9"), 0u);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_TYPE_NOT_FOUND);

  char path[4096];
  ASSERT_GT(GetModuleFileNameA(res.get(), path, sizeof path), 0u);
  EXPECT_EQ(std::string(path), dir.File("m.res"));
}

TEST(ResModuleTest, HandlesDieWithTheModule) {
  TempDir dir;
  const std::string path = dir.Write("m.res", Mixed().BuildResFile());
  HMODULE module = LoadLibraryExA(path.c_str(), 0, 0);
  ASSERT_NE(module, 0u);
  HRSRC found = FindResourceA(module, "#1", "#6");
  HGLOBAL loaded = LoadResource(module, found);
  ASSERT_NE(LockResource(loaded), nullptr);
  EXPECT_EQ(FindResourceA(module, "#1", "#6"), found);
  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_FALSE(FreeLibrary(module));
  EXPECT_EQ(LockResource(loaded), nullptr);
  EXPECT_EQ(SizeofResource(module, found), 0u);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(ListResources(module), std::vector<std::string>{});
}

TEST(ResModuleTest, TruncatedAndDamagedFiles) {
  TempDir dir;
  PeWriter writer;
  writer.Add(10, 1, 0x0409, Bytes("first")).Add(10, 2, 0x0409, std::vector<uint8_t>(64, 'x'));
  const std::vector<uint8_t> whole = writer.BuildResFile();

  // Cut inside the last resource's data: it stays listed, its data is not found.
  std::vector<uint8_t> cutData(whole.begin(), whole.end() - 10);
  Module cut(dir.Write("cut.res", cutData));
  ASSERT_NE(cut.get(), 0u);
  EXPECT_EQ(ListResources(cut.get()), (std::vector<std::string>{"10|1|0409|5", "10|2|0409|0"}));
  HRSRC beyond = FindResourceA(cut.get(), "#2", "#10");
  ASSERT_NE(beyond, 0u);
  SetLastError(0);
  EXPECT_EQ(LoadResource(cut.get(), beyond), 0u);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_DATA_NOT_FOUND);

  // Cut inside the last header: the resources before it remain.
  const size_t secondHeader = 32 + 32 + 8;  // empty record, first record with its padding
  std::vector<uint8_t> cutHeader(whole.begin(), whole.begin() + secondHeader + 12);
  Module headerCut(dir.Write("cuthead.res", cutHeader));
  EXPECT_EQ(ListResources(headerCut.get()), std::vector<std::string>{"10|1|0409|5"});

  // Only the empty record: a module without resources.
  Module bare(dir.Write("bare.res", std::vector<uint8_t>(whole.begin(), whole.begin() + 32)));
  ASSERT_NE(bare.get(), 0u);
  SetLastError(0);
  EXPECT_EQ(ListResources(bare.get()), std::vector<std::string>{});
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_DATA_NOT_FOUND);

  // A header too short for its fields: no module.
  std::vector<uint8_t> shortHeader = whole;
  const uint32_t tooShort = 12;
  std::memcpy(shortHeader.data() + 32 + 4, &tooShort, 4);
  SetLastError(0);
  EXPECT_EQ(LoadLibraryExA(dir.Write("short.res", shortHeader).c_str(), 0, 0), 0u);
  EXPECT_EQ(GetLastError(), ERROR_BAD_EXE_FORMAT);
}

TEST(ResModuleTest, ReadsWhatTheResourceCompilerWrites) {
  for (const char* name : {"basic", "dialogs"}) {
    const std::string base = std::string(ORVEX_SOURCE_DIR "/tests/fixtures/rc/") + name;
    Module res(base + ".res");
    Module pe(base + ".dll");
    ASSERT_NE(res.get(), 0u) << name;
    const std::vector<std::string> listing = ListResources(res.get());
    EXPECT_FALSE(listing.empty()) << name;
    EXPECT_EQ(listing, ListResources(pe.get())) << name;
  }
}

}  // namespace
}  // namespace orvex
