#include "readers/version_text.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/version/version.h"
#include "readers/step_recorder.h"

namespace orvex {
namespace {

using testing::PutDword;
using testing::PutUtf16;
using testing::PutWord;
using testing::StepRecorder;

// One node of the version resource: WORD wLength; WORD wValueLength; WORD wType;
// WCHAR szKey[]; pad to 4; the value; pad to 4; the children.
struct Node {
  std::u16string key;
  std::vector<std::byte> value;
  uint16_t valueLength;
  uint16_t type;  // 1 text, 0 binary
  std::vector<Node> children;
};

void Align4(std::vector<std::byte>& out) {
  while (out.size() % 4 != 0) out.push_back(std::byte{0});
}

std::vector<std::byte> Encode(const Node& node) {
  std::vector<std::byte> out;
  PutWord(out, 0);  // wLength, set below
  PutWord(out, node.valueLength);
  PutWord(out, node.type);
  PutUtf16(out, node.key);
  PutWord(out, 0);
  Align4(out);
  out.insert(out.end(), node.value.begin(), node.value.end());
  for (const Node& child : node.children) {
    Align4(out);
    const auto bytes = Encode(child);
    out.insert(out.end(), bytes.begin(), bytes.end());
  }
  out[0] = static_cast<std::byte>(out.size() & 0xFF);
  out[1] = static_cast<std::byte>(out.size() >> 8);
  return out;
}

Node String(std::u16string key, std::u16string value) {
  std::vector<std::byte> bytes;
  PutUtf16(bytes, value);
  PutWord(bytes, 0);
  const auto length = static_cast<uint16_t>(value.size() + 1);
  return Node{std::move(key), std::move(bytes), length, 1, {}};
}

Node Table(std::u16string translation, std::vector<Node> strings) {
  return Node{std::move(translation), {}, 0, 1, std::move(strings)};
}

// VS_VERSIONINFO with the given string tables and translation pairs (language, code page).
std::vector<std::byte> VersionResource(std::vector<Node> tables,
                                       std::vector<std::pair<uint16_t, uint16_t>> translations) {
  std::vector<std::byte> fixed;
  PutDword(fixed, VS_FFI_SIGNATURE);
  PutDword(fixed, 0x00010000);
  for (int i = 0; i < 11; ++i) PutDword(fixed, 0);
  Node root{u"VS_VERSION_INFO", fixed, 52, 0, {}};
  root.children.push_back(Node{u"StringFileInfo", {}, 0, 1, std::move(tables)});
  if (!translations.empty()) {
    std::vector<std::byte> pairs;
    for (auto [language, codePage] : translations) {
      PutWord(pairs, language);
      PutWord(pairs, codePage);
    }
    const auto length = static_cast<uint16_t>(pairs.size());
    Node var{u"Translation", std::move(pairs), length, 0, {}};
    root.children.push_back(Node{u"VarFileInfo", {}, 0, 1, {std::move(var)}});
  }
  return Encode(root);
}

// The buffer GetFileVersionInfoA would fill for a file holding `resource`.
std::vector<std::byte> Filled(const std::vector<std::byte>& resource) {
  std::vector<std::byte> block(VersionBufferSize(resource));
  EXPECT_TRUE(CopyVersionResource(resource, static_cast<DWORD>(block.size()), block.data()));
  return block;
}

TEST(VersionTextTest, RendersTheKeysInTheirFixedOrder) {
  const auto resource = VersionResource(
      {Table(u"040904B0",
             {String(u"LegalCopyright", u"(c) Maker"), String(u"CompanyName", u"Maker"),
              String(u"FileVersion", u"1.2.3.4"), String(u"ProductVersion", u"1.2"),
              String(u"ProductName", u"Prod"), String(u"FileDescription", u"Tool"),
              String(u"InternalName", u"tool"), String(u"OriginalFilename", u"tool.exe"),
              String(u"Comments", u"not rendered")})},
      {{0x0409, 0x04B0}});
  StepRecorder steps;
  EXPECT_EQ(RenderVersionInfo(Filled(resource), steps.Runner()),
            u"OriginalFilename:\r\n\ttool.exe\r\n"
            u"InternalName:\r\n\ttool\r\n"
            u"FileVersion:\r\n\t1.2.3.4\r\n"
            u"FileDescription:\r\n\tTool\r\n"
            u"ProductName:\r\n\tProd\r\n"
            u"ProductVersion:\r\n\t1.2\r\n"
            u"CompanyName:\r\n\tMaker\r\n"
            u"LegalCopyright:\r\n\t(c) Maker\r\n");
  EXPECT_TRUE(steps.Numbers().empty());
}

TEST(VersionTextTest, FirstTranslationOnlyAndEmptyValuesLeftOut) {
  const auto resource = VersionResource(
      {Table(u"040904B0", {String(u"FileVersion", u"english")}),
       Table(u"040704E4", {String(u"FileVersion", u"deutsch \u00E4"), String(u"InternalName", u""),
                           String(u"CompanyName", u"Firma")})},
      {{0x0407, 0x04E4}, {0x0409, 0x04B0}});
  StepRecorder steps;
  EXPECT_EQ(RenderVersionInfo(Filled(resource), steps.Runner()),
            u"FileVersion:\r\n\tdeutsch \u00E4\r\nCompanyName:\r\n\tFirma\r\n");
  EXPECT_TRUE(steps.Numbers().empty());
}

TEST(VersionTextTest, NoTranslationIsReportedAndFindsNothing) {
  const auto resource = VersionResource({Table(u"040904B0", {String(u"FileVersion", u"1.0")})}, {});
  StepRecorder steps;
  EXPECT_EQ(RenderVersionInfo(Filled(resource), steps.Runner()), u"");
  EXPECT_EQ(steps.Numbers(), std::vector<int>{9});
}

TEST(VersionTextTest, FileWithoutVersionInformationReportsEveryStep) {
  StepRecorder steps("clsQ7ResfResourceTypesA.GetVersionInfo");
  EXPECT_EQ(GetVersionInfo("/nonexistent/orvex/file.dll", steps.Runner()), u"");
  // Making the buffer, reading into it, the translation and the eight keys.
  EXPECT_EQ(steps.Numbers(), std::vector<int>(11, 9));
}

}  // namespace
}  // namespace orvex
