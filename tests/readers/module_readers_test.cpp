// The menu and version renderers over a real module file: the PE writer's image loaded
// through the platform's module functions, as the catalogue's members will call them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pe_writer/pe_writer.h"
#include "platform/module/module.h"
#include "platform/user/menu.h"
#include "readers/menu_text.h"
#include "readers/payloads.h"
#include "readers/step_recorder.h"
#include "readers/version_text.h"
#include "support/temp_dir.h"

namespace orvex {
namespace {

using testing::Command;
using testing::Popup;
using testing::Separator;
using testing::StepRecorder;

std::vector<uint8_t> Raw(const std::vector<std::byte>& bytes) {
  std::vector<uint8_t> out;
  for (std::byte b : bytes) out.push_back(static_cast<uint8_t>(b));
  return out;
}

class ModuleReadersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::PeWriter writer;
    writer.Add(4, 1, 0x0409,
               Raw(testing::ExtendedMenu({Popup(
                   u"&File", 10, {Command(u"&Open", 101), Separator(), Command(u"E&xit", 102)})})));
    writer.Add(16, 1, 0x0409,
               Raw(testing::VersionResource(
                   {testing::Table(u"040904B0", {testing::String(u"FileVersion", u"2.0.1"),
                                                 testing::String(u"CompanyName", u"Maker")})},
                   {{0x0409, 0x04B0}})));
    path_ = dir_.Write("sample.dll", writer.Build());
    module_ = LoadLibraryExA(path_.c_str(), 0, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module_, 0u);
  }
  void TearDown() override { FreeLibrary(module_); }

  std::string ModuleFileName() const {
    char buffer[260] = {};
    GetModuleFileNameA(module_, buffer, sizeof buffer);
    return buffer;
  }

  test::TempDir dir_;
  std::string path_;
  HMODULE module_ = 0;
};

TEST_F(ModuleReadersTest, MenuTextOfANumberedMenu) {
  std::u16string threadMenuText;
  StepRecorder steps("clsQ7ResfResourceTypesA.GetMenuText");
  const std::u16string expected =
      u"&File (cmdID = 10)\r\n.....&Open (cmdID = 101)\r\n.....[MENU SEPARATOR]\r\n"
      u".....E&xit (cmdID = 102)\r\n";
  EXPECT_EQ(GetMenuText(module_, u"#1", threadMenuText, steps.Runner()), expected);
  EXPECT_EQ(GetMenuText(module_, u"#1", threadMenuText, steps.Runner()), expected);
  EXPECT_EQ(GetMenuText(module_, u"#2", threadMenuText, steps.Runner()), u"");
  EXPECT_EQ(threadMenuText, u"");
  EXPECT_TRUE(steps.Numbers().empty());
  EXPECT_EQ(LiveMenuCountForTesting(), 0u);
}

TEST_F(ModuleReadersTest, VersionTextOfTheModuleFile) {
  StepRecorder steps("clsQ7ResfResourceTypesA.GetVersionInfo");
  EXPECT_EQ(GetVersionInfo(ModuleFileName(), steps.Runner()),
            u"FileVersion:\r\n\t2.0.1\r\nCompanyName:\r\n\tMaker\r\n");
  EXPECT_TRUE(steps.Numbers().empty());
}

}  // namespace
}  // namespace orvex
