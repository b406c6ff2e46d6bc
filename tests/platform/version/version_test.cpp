#include "platform/version/version.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "pe_writer/pe_writer.h"
#include "platform/module/module.h"
#include "platform/version/version_block.h"
#include "platform/version/version_bytes.h"
#include "support/temp_dir.h"

namespace orvex {
namespace {

using test::BuildVersionNode;
using test::StandardVersion;
using test::VersionNodeDesc;
using test::VersionString;

std::vector<uint8_t> Standard() {
  return BuildVersionNode(StandardVersion(
      {{u"040904B0",
        {VersionString(u"CompanyName", u"Orvex"), VersionString(u"FileVersion", u"1.2.3.4"),
         VersionString(u"InternalName", u""),
         VersionString(u"LegalCopyright", u"\u00A9 Caf\u00E9 \u4E2D")}},
       {u"040704B0", {VersionString(u"FileVersion", u"9.9")}}},
      {{0x0409, 0x04B0}, {0x0407, 0x04B0}}));
}

// The buffer GetFileVersionInfoA fills, for a resource's bytes.
std::vector<unsigned char> Buffer(const std::vector<uint8_t>& resource, DWORD size = 0) {
  Bytes bytes = AsBytes(resource.data(), resource.size());
  if (size == 0) size = VersionBufferSize(bytes);
  std::vector<unsigned char> buffer(size);
  EXPECT_TRUE(CopyVersionResource(bytes, size, buffer.data()));
  return buffer;
}

struct Result {
  BOOL ok;
  const unsigned char* value;
  UINT length;
};

const unsigned char kSentinel = 0;

Result Query(const std::vector<unsigned char>& buffer, const char* path) {
  void* value = const_cast<unsigned char*>(&kSentinel);
  UINT length = 12345;
  BOOL ok = VerQueryValueA(buffer.data(), path, &value, &length);
  return {ok, static_cast<const unsigned char*>(value), length};
}

std::string Text(const Result& r) {
  return reinterpret_cast<const char*>(r.value);
}

TEST(VerQueryValue, RootGivesTheFixedFileInfo) {
  auto buffer = Buffer(Standard());
  for (const char* path : {"\\", "", "\\\\"}) {
    Result r = Query(buffer, path);
    ASSERT_TRUE(r.ok) << path;
    ASSERT_EQ(r.length, sizeof(VS_FIXEDFILEINFO));
    VS_FIXEDFILEINFO info;
    std::memcpy(&info, r.value, sizeof info);
    EXPECT_EQ(info.dwSignature, VS_FFI_SIGNATURE);
    EXPECT_EQ(info.dwFileVersionMS, 0x00010002u);
    EXPECT_EQ(info.dwFileVersionLS, 0x00030004u);
  }
}

TEST(VerQueryValue, TranslationIsBinary) {
  auto buffer = Buffer(Standard());
  Result r = Query(buffer, "\\VarFileInfo\\Translation");
  ASSERT_TRUE(r.ok);
  ASSERT_EQ(r.length, 8u);
  const unsigned char expected[] = {0x09, 0x04, 0xB0, 0x04, 0x07, 0x04, 0xB0, 0x04};
  EXPECT_EQ(std::memcmp(r.value, expected, 8), 0);
  EXPECT_GE(r.value, buffer.data());  // points into the block itself
  EXPECT_LT(r.value, buffer.data() + Standard().size());
}

TEST(VerQueryValue, StringsComeAsZeroTerminatedAnsiText) {
  auto buffer = Buffer(Standard());
  struct Case {
    const char* path;
    std::string text;
    UINT length;  // characters as stored, the terminator included
  } cases[] = {
      {"\\StringFileInfo\\040904B0\\FileVersion", "1.2.3.4", 8},
      {"\\stringfileinfo\\040904b0\\FILEVERSION", "1.2.3.4", 8},  // keys ignore case
      {"StringFileInfo\\\\040904B0\\CompanyName\\", "Orvex", 6},  // empty parts skipped
      {"\\StringFileInfo\\040704B0\\FileVersion", "9.9", 4},
      {"\\StringFileInfo\\040904B0\\InternalName", "", 1},
      {"\\StringFileInfo\\040904B0\\LegalCopyright", "\xA9 Caf\xE9 ?", 9},
  };
  for (const Case& c : cases) {
    Result r = Query(buffer, c.path);
    ASSERT_TRUE(r.ok) << c.path;
    EXPECT_EQ(Text(r), c.text) << c.path;
    EXPECT_EQ(r.length, c.length) << c.path;
    // The ANSI copy lives in the caller's buffer, behind the block.
    EXPECT_GE(r.value, buffer.data() + Standard().size());
    EXPECT_LE(r.value + r.length, buffer.data() + buffer.size());
  }
  // Asking twice gives the same text.
  EXPECT_EQ(Text(Query(buffer, cases[0].path)), "1.2.3.4");
}

TEST(VerQueryValue, MissingKeyFailsAndLeavesThePointerAlone) {
  auto buffer = Buffer(Standard());
  for (const char* path :
       {"\\StringFileInfo\\040904B0\\ProductName", "\\StringFileInfo\\041104B0\\FileVersion",
        "\\VarFileInfo\\Translatio", "\\VarFileInfo\\Translation\\x", "\\Nothing"}) {
    Result r = Query(buffer, path);
    EXPECT_FALSE(r.ok) << path;
    EXPECT_EQ(r.value, &kSentinel) << path;
    EXPECT_EQ(r.length, 0u) << path;
  }
}

TEST(VerQueryValue, ShortBufferKeepsBinaryValuesButCannotConvertText) {
  std::vector<uint8_t> resource = Standard();
  DWORD full = VersionBufferSize(AsBytes(resource.data(), resource.size()));
  EXPECT_EQ(full, 2 * resource.size() + 4);
  auto buffer = Buffer(resource, static_cast<DWORD>(resource.size() + 4));
  EXPECT_TRUE(Query(buffer, "\\").ok);
  EXPECT_TRUE(Query(buffer, "\\VarFileInfo\\Translation").ok);
  EXPECT_FALSE(Query(buffer, "\\StringFileInfo\\040904B0\\FileVersion").ok);
  // Cut shorter still: what lies past the cut is gone.
  auto small = Buffer(resource, 120);
  EXPECT_TRUE(Query(small, "\\").ok);
  EXPECT_FALSE(Query(small, "\\VarFileInfo\\Translation").ok);
  std::vector<unsigned char> tiny(9);
  EXPECT_FALSE(CopyVersionResource(AsBytes(resource.data(), resource.size()), 9, tiny.data()));
}

TEST(VerQueryValue, HostileBlocksStayInBounds) {
  auto variant = [](auto change) {
    VersionNodeDesc desc = StandardVersion(
        {{u"040904B0", {VersionString(u"A", u"aa"), VersionString(u"FileVersion", u"1.0")}}},
        {{0x0409, 0x04B0}});
    change(desc);
    return BuildVersionNode(desc);
  };
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    bool fileVersionFound;
  } cases[] = {
      // A child of length 0 ends its list: what follows it is not reached.
      {"zero length", variant([](VersionNodeDesc& s) {
         s.children[0].children[0].children[0].lengthOverride = 0;
       }),
       false},
      // A child claiming more than its parent holds is cut at the parent's end.
      {"overlong child", variant([](VersionNodeDesc& s) {
         s.children[0].children[0].children[1].lengthOverride = 0xFFF0;
       }),
       true},
      {"overlong root", variant([](VersionNodeDesc& s) { s.lengthOverride = 0xFFFF; }), true},
      {"huge value length", variant([](VersionNodeDesc& s) {
         s.children[0].children[0].children[1].valueLength = 0x7FFF;
       }),
       true},
      {"length below header",
       variant([](VersionNodeDesc& s) { s.children[0].children[0].lengthOverride = 3; }), false},
  };
  for (const Case& c : cases) {
    auto buffer = Buffer(c.bytes);
    Result r = Query(buffer, "\\StringFileInfo\\040904B0\\FileVersion");
    EXPECT_EQ(r.ok != 0, c.fileVersionFound) << c.name;
    if (r.ok) {
      EXPECT_EQ(Text(r).substr(0, 3), "1.0") << c.name;
      EXPECT_LE(r.value + r.length, buffer.data() + buffer.size()) << c.name;
    }
  }
}

TEST(VerQueryValue, EveryTruncationIsSafe) {
  std::vector<uint8_t> resource = Standard();
  for (size_t cut = 0; cut < resource.size(); ++cut) {
    std::vector<uint8_t> part(resource.begin(), resource.begin() + static_cast<long>(cut));
    Bytes bytes = AsBytes(part.data(), part.size());
    DWORD size = VersionBufferSize(bytes);
    if (size == 0) continue;
    auto buffer = Buffer(part, size);
    for (const char* path :
         {"\\", "\\VarFileInfo\\Translation", "\\StringFileInfo\\040904B0\\LegalCopyright"}) {
      Result r = Query(buffer, path);
      if (r.ok) {
        EXPECT_LE(r.value + r.length, buffer.data() + buffer.size());
      }
    }
  }
}

TEST(VersionBlock, WalkCapsDepthAndVisitsInOrder) {
  VersionNodeDesc deep{u"VS_VERSION_INFO", 0, {}, 0, {}, {}};
  VersionNodeDesc* current = &deep;
  for (int i = 0; i < 40; ++i) {
    current->children.push_back(
        {u"k" + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)), 1, {}, 0, {}, {}});
    current = &current->children.back();
  }
  std::vector<uint8_t> bytes = BuildVersionNode(deep);
  int visited = 0, deepest = 0;
  ASSERT_TRUE(WalkVersionTree(AsBytes(bytes.data(), bytes.size()), [&](const VersionNode&, int d) {
    ++visited;
    deepest = std::max(deepest, d);
  }));
  EXPECT_EQ(deepest, kMaxVersionDepth);
  EXPECT_EQ(visited, kMaxVersionDepth + 1);

  std::vector<uint8_t> standard = Standard();
  std::vector<std::string> keys;
  ASSERT_TRUE(WalkVersionTree(
      AsBytes(standard.data(), standard.size()), [&](const VersionNode& node, int d) {
        keys.push_back(std::to_string(d) + std::string(node.key.begin(), node.key.end()));
      }));
  std::vector<std::string> expected = {"0VS_VERSION_INFO", "1StringFileInfo", "2040904B0",
                                       "3CompanyName",     "3FileVersion",    "3InternalName",
                                       "3LegalCopyright",  "2040704B0",       "3FileVersion",
                                       "1VarFileInfo",     "2Translation"};
  EXPECT_EQ(keys, expected);
}

// The 16-bit layout: WORD wLength; WORD wValueLength; CHAR szKey[]; pad; value; children.
std::vector<uint8_t> Node16(const std::string& key, const std::string& value,
                            const std::vector<std::vector<uint8_t>>& children) {
  std::vector<uint8_t> out(4, 0);
  out.insert(out.end(), key.begin(), key.end());
  out.push_back(0);
  while (out.size() % 4) out.push_back(0);
  out.insert(out.end(), value.begin(), value.end());
  for (const auto& child : children) {
    while (out.size() % 4) out.push_back(0);
    out.insert(out.end(), child.begin(), child.end());
  }
  out[0] = static_cast<uint8_t>(out.size());
  out[1] = static_cast<uint8_t>(out.size() >> 8);
  out[2] = static_cast<uint8_t>(value.size());
  return out;
}

TEST(VerQueryValue, SixteenBitLayoutDeliversItsAnsiText) {
  std::vector<uint8_t> block = Node16(
      "VS_VERSION_INFO", std::string(52, '\0'),
      {Node16("StringFileInfo", "",
              {Node16("040904E4", "", {Node16("FileVersion", std::string("3.1\0", 4), {})})})});
  auto buffer = Buffer(block);
  Result r = Query(buffer, "\\StringFileInfo\\040904e4\\fileversion");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(Text(r), "3.1");
  EXPECT_EQ(r.length, 4u);
}

class VersionFileTest : public ::testing::Test {
 protected:
  std::string Write(const test::PeWriter& writer) { return dir_.Write("v.dll", writer.Build()); }
  test::TempDir dir_;
};

TEST_F(VersionFileTest, ReadsTheFilesVersionResource) {
  test::PeWriter writer;
  writer.Add(test::ResId(16), test::ResId(1), 0x0409, Standard());
  std::string path = Write(writer);
  DWORD handle = 99;
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
  EXPECT_EQ(handle, 0u);
  ASSERT_EQ(size, 2 * Standard().size() + 4);
  std::vector<unsigned char> buffer(size);
  ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, buffer.data()));
  Result r = Query(buffer, "\\StringFileInfo\\040904B0\\CompanyName");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(Text(r), "Orvex");
}

TEST_F(VersionFileTest, TakesTheFirstVersionResourceWhenThereIsNoNumberOne) {
  test::PeWriter writer;
  writer.Add(test::ResId(16), test::ResId(u"VERSION"), 0x0409,
             BuildVersionNode(StandardVersion(
                 {{u"040904B0", {VersionString(u"ProductName", u"Named")}}}, {{0x0409, 0x04B0}})));
  writer.Add(test::ResId(16), test::ResId(5), 0x0409, Standard());
  std::string path = Write(writer);
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), nullptr);
  ASSERT_NE(size, 0u);
  std::vector<unsigned char> buffer(size);
  ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, buffer.data()));
  // Named entries come first among a type's names.
  EXPECT_EQ(Text(Query(buffer, "\\StringFileInfo\\040904B0\\ProductName")), "Named");
}

TEST_F(VersionFileTest, FilesWithoutVersionInformation) {
  test::PeWriter writer;
  writer.Add(test::ResId(10), test::ResId(1), 0x0409, test::Bytes("data"));
  std::string path = Write(writer);
  EXPECT_EQ(GetFileVersionInfoSizeA(path.c_str(), nullptr), 0u);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_TYPE_NOT_FOUND);
  std::vector<unsigned char> buffer(64);
  EXPECT_FALSE(GetFileVersionInfoA(path.c_str(), 0, 64, buffer.data()));

  std::string missing = dir_.File("missing.dll");
  EXPECT_EQ(GetFileVersionInfoSizeA(missing.c_str(), nullptr), 0u);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

}  // namespace
}  // namespace orvex
