// A module whose resource data lies beyond the end of its file (a truncated download, a
// file cut by `head -c`): every command that reads such a resource says so once and fails,
// writes nothing, and `list` marks those resources.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>
#include <vector>

#include "pe_writer/pe_writer.h"
#include "pe_writer/resource_payloads.h"
#include "support/temp_dir.h"
#include "tools/orvex_run.h"

namespace orvex::test {
namespace {

namespace fs = std::filesystem;

constexpr char kBeyondEnd[] =
    "orvex: resource data lies beyond the end of the file (a truncated module?)\n";

// Data entries that claim 1 MB where the file holds a few bytes.
constexpr uint32_t kPastTheEnd = 1 << 20;

class TruncatedModule : public ::testing::Test {
 protected:
  void SetUp() override {
    PeWriter writer;
    writer.Add(10, 1, 0x0409, Bytes("whole"));
    writer.Add(10, 2, 0x0409, Bytes("cut off"), -1, kPastTheEnd);
    writer.Add(6, 1, 0x0409, StringBlock({u"", u"one"}));
    writer.Add(6, 2, 0x0409, StringBlock({u"two"}), -1, kPastTheEnd);
    writer.Add(16, 1, 0x0409,
               VersionInfo({1, 2, 3, 4}, {{u"040904B0", {{u"FileVersion", u"1.2.3.4"}}}},
                           {{0x0409, 0x04B0}}),
               -1, kPastTheEnd);
    writer.Add(3, 1, 0x0409, IconImage(16));
    writer.Add(14, 1, 0x0409, IconGroup({{1, IconImage(16)}}));
    writer.Add(14, 2, 0x0409, IconGroup({{1, IconImage(16)}}), -1, kPastTheEnd);
    writer.Add(2, 5, 0x0409, Bitmap(8, 8), -1, kPastTheEnd);
    writer.Add(5, 7, 0x0409, Dialog(u"Cut", 100, 50, {}), -1, kPastTheEnd);
    module_ = dir_.Write("cut.dll", writer.Build());
  }

  TempDir dir_;
  std::string module_;
};

TEST_F(TruncatedModule, ReadingSuchAResourceFailsWithOneMessageAndWritesNothing) {
  const std::string out = dir_.File("out.bin");
  const std::vector<std::vector<std::string>> cases = {
      {"data", module_, "10", "#2", "-o", out},
      {"data", module_, "10", "#2"},
      {"hex", module_, "10", "#2"},
      {"html", module_, "10", "#2"},
      {"save", module_, "10", "#2", out},
      {"string", module_, "#2"},
      {"version", module_},
      {"picture", module_, "2", "5", "-o", out + ".png"},
      {"picture", module_, "BITMAP", "#5", "--ext"},
      {"show", module_, "2", "#5", "-o", out + ".png"},
      {"dialog", module_, "#7", "-o", out + ".png"},
  };
  for (const auto& arguments : cases) {
    const OrvexRun run = RunOrvex(arguments);
    EXPECT_EQ(run.status, 1) << arguments[0];
    EXPECT_EQ(run.err, kBeyondEnd) << arguments[0];
    EXPECT_EQ(run.out, "") << arguments[0];
    EXPECT_FALSE(fs::exists(out)) << arguments[0];
    EXPECT_FALSE(fs::exists(out + ".png")) << arguments[0];
  }
  // The resources whose data is whole read as before.
  const OrvexRun whole = RunOrvex({"data", module_, "10", "#1"});
  EXPECT_EQ(whole.status, 0) << whole.err;
  EXPECT_EQ(whole.out, "whole");
}

// Commands over every resource of a kind give what is whole and one line for the rest.
TEST_F(TruncatedModule, CommandsOverEveryResourceSkipTheCutOnesInOneLine) {
  OrvexRun run = RunOrvex({"string", module_});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "[#1]\n1: one\n");
  EXPECT_EQ(run.err,
            "orvex: skipped 1 string-table block: resource data lies beyond the end of the file "
            "(a truncated module?)\n");

  const std::string icons = dir_.File("icons");
  run = RunOrvex({"icons", module_, "-o", icons});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "orvex: skipped 1 group: resource data lies beyond the end of the file (a truncated "
            "module?)\n"
            "orvex: wrote 2 files to " +
                icons + "\n");
  EXPECT_TRUE(fs::exists(icons + "/icon_1.ico"));
  EXPECT_FALSE(fs::exists(icons + "/icon_2.ico"));

  const std::string dialogs = dir_.File("dialogs");
  run = RunOrvex({"dialogs", module_, "-o", dialogs});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "orvex: skipped 1 dialog: resource data lies beyond the end of the file (a truncated "
            "module?)\n"
            "orvex: wrote 0 of 0 dialogs to " +
                dialogs + "\n");
}

TEST_F(TruncatedModule, ListMarksTheResourcesWhoseDataIsCut) {
  const OrvexRun json = RunOrvex({"list", "--json", module_});
  ASSERT_EQ(json.status, 0) << json.err;
  const nlohmann::json listing = nlohmann::json::parse(json.out);
  std::vector<std::string> cut;
  for (const auto& type : listing["types"]) {
    for (const auto& item : type["ResourceItems"]) {
      if (item["truncated"].get<bool>())
        cut.push_back(type["Type"].dump() + " " + item["NameLong"].get<std::string>());
    }
  }
  EXPECT_EQ(cut, (std::vector<std::string>{"2 5", "5 7", "6 2", "10 2", "14 2", "16 1"}))
      << json.out;

  const OrvexRun text = RunOrvex({"list", module_});
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_NE(text.out.find("    #1               5\n"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("    #2               0  [truncated: data beyond the end of the file]\n"),
            std::string::npos)
      << text.out;
}

}  // namespace
}  // namespace orvex::test
