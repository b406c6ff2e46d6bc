#include "readers/version_text.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/version/version.h"
#include "readers/payloads.h"
#include "readers/step_recorder.h"

namespace orvex {
namespace {

using testing::StepRecorder;
using testing::String;
using testing::Table;
using testing::VersionResource;

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

TEST(VersionTextTest, NoTranslationIsReportedAndTheFirstStringTableIsRead) {
  const auto resource = VersionResource({Table(u"040704E4", {String(u"FileVersion", u"1.0")}),
                                         Table(u"040904B0", {String(u"FileVersion", u"2.0")})},
                                        {});
  StepRecorder steps;
  EXPECT_EQ(RenderVersionInfo(Filled(resource), steps.Runner()), u"FileVersion:\r\n\t1.0\r\n");
  EXPECT_EQ(steps.Numbers(), std::vector<int>{9});

  const auto noTables = VersionResource({}, {});
  StepRecorder none;
  EXPECT_EQ(RenderVersionInfo(Filled(noTables), none.Runner()), u"");
  EXPECT_EQ(none.Numbers(), std::vector<int>{9});
}

TEST(VersionTextTest, FileWithoutVersionInformationReportsEveryStep) {
  StepRecorder steps("clsQ7ResfResourceTypesA.GetVersionInfo");
  EXPECT_EQ(GetVersionInfo("/nonexistent/orvex/file.dll", steps.Runner()), u"");
  // Making the buffer, reading into it, the translation and the eight keys.
  EXPECT_EQ(steps.Numbers(), std::vector<int>(11, 9));
}

}  // namespace
}  // namespace orvex
