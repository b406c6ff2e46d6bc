// `orvex dialog` and `orvex dialogs` end to end: the JSON against what Wine builds for the
// same templates and host (tests/wine/dialogs), golden pictures, SVG captures with their
// texts, and the failures a user sees.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "golden_image.h"
#include "orvex_run.h"
#include "support/wine_dialogs.h"

namespace orvex::test {
namespace {

constexpr char kCorpus[] = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows";
constexpr char kFixture[] = ORVEX_SOURCE_DIR "/tests/fixtures/rc/dialogs.dll";

std::string Hex8(unsigned long value) {
  char text[24];
  std::snprintf(text, sizeof text, "%08lx", value & 0xFFFFFFFFul);
  return text;
}

// The JSON `orvex dialog --json` should print for a dialog of a Wine output file: its
// numbers, with WS_VISIBLE added (ShowDialog shows the preview after building it).
nlohmann::json WineJson(const std::string& file, const std::string& label) {
  nlohmann::json json;
  json["controls"] = nlohmann::json::array();
  for (const std::string& line : WineDialogLines(file, label)) {
    std::istringstream words(line);
    std::string key;
    words >> key;
    if (key == "parent") {
      std::string parent;
      words >> parent;
      json["parent"] = parent == "box" ? "child" : "popup";
    } else if (key == "style") {
      std::string style, exkey, exstyle;
      words >> style >> exkey >> exstyle;
      json["style"] = Hex8(std::stoul(style, nullptr, 16) | 0x10000000);
      json["exstyle"] = Hex8(std::stoul(exstyle, nullptr, 16));
    } else if (key == "window") {
      int w, h, cw, ch;
      std::string x, client;
      words >> w >> x >> h >> client >> cw >> x >> ch;
      json["window"] = {w, h};
      json["client"] = {cw, ch};
    } else if (key == "base") {
      int x, y;
      std::string units, times;
      words >> units >> x >> times >> y;
      json["baseunits"] = {x, y};
    } else if (line.rfind("  ", 0) == 0 && line.rfind("    ", 0) != 0) {
      std::string cls, idKey, styleKey, style, rectKey;
      int id, left, top, width, height;
      std::istringstream control(line);
      control >> cls >> idKey >> id >> styleKey >> style >> rectKey >> left >> top >> width >>
          height;
      std::string lower = style;
      for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      json["controls"].push_back({{"class", cls},
                                  {"id", id},
                                  {"style", lower},
                                  {"rect", {left, top, left + width, top + height}}});
    }
  }
  return json;
}

void ExpectLikeWine(const std::string& module, const char* name, const std::string& file,
                    const std::string& label) {
  const OrvexRun run = RunOrvex({"dialog", module, name, "--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  nlohmann::json got = nlohmann::json::parse(run.out);
  EXPECT_EQ(got["created"], true);
  got.erase("created");
  const nlohmann::json want = WineJson(file, label);
  for (const char* key : {"parent", "style", "exstyle", "window", "client", "baseunits"})
    EXPECT_EQ(got[key], want[key]) << label << " " << key;
  EXPECT_EQ(got["controls"], want["controls"]) << label;
}

TEST(DialogCommand, DescribesCorpusDialogsAsWineBuildsThem) {
  if (!std::filesystem::is_directory(kCorpus)) GTEST_SKIP() << "no Wine corpus";
  ExpectLikeWine(std::string(kCorpus) + "/comdlg32.dll", "#1540", "expected.txt", "comdlg32 1540");
  ExpectLikeWine(std::string(kCorpus) + "/aclui.dll", "#100", "expected.txt", "aclui 100");
}

TEST(DialogCommand, DescribesFixtureDialogsAsWineBuildsThem) {
  ExpectLikeWine(kFixture, "#100", "expected_fixture.txt", "fixture 100 (");
  ExpectLikeWine(kFixture, "NAMED", "expected_fixture.txt", "fixture NAMED");
  ExpectLikeWine(kFixture, "#104", "expected_fixture.txt", "fixture 104");
}

// Captures compared with the goldens under tests/fixtures/golden (ORVEX_UPDATE_GOLDEN=1
// writes them anew).
void ExpectGolden(const std::string& module, const char* name, const char* golden,
                  const std::vector<std::string>& extra = {}) {
  TempDir dir;
  const std::string out = dir.File("dialog.png");
  std::vector<std::string> args{"dialog", module, name, "-o", out};
  args.insert(args.end(), extra.begin(), extra.end());
  const OrvexRun run = RunOrvex(args);
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string path = std::string(ORVEX_SOURCE_DIR "/tests/fixtures/golden/") + golden;
  if (std::getenv("ORVEX_UPDATE_GOLDEN"))
    std::filesystem::copy_file(out, path, std::filesystem::copy_options::overwrite_existing);
  const Image got = ReadPng(out), want = ReadPng(path);
  ASSERT_EQ(got.width, want.width) << golden;
  ASSERT_EQ(got.height, want.height) << golden;
  EXPECT_LE(DifferingShare(got, want), 0.005) << golden;
}

TEST(DialogCommand, CapturesMatchTheirGoldens) {
  ExpectGolden(kFixture, "#100", "dialog_fixture100.png");
  ExpectGolden(kFixture, "NAMED", "dialog_fixture_named_host.png", {"--with-host"});
  if (!std::filesystem::is_directory(kCorpus)) GTEST_SKIP() << "no Wine corpus";
  ExpectGolden(std::string(kCorpus) + "/comdlg32.dll", "#1540", "dialog_find.png");
}

TEST(DialogCommand, SvgKeepsTheControlTextsAsText) {
  TempDir dir;
  const std::string out = dir.File("dialog.svg");
  const OrvexRun run = RunOrvex({"dialog", kFixture, "#101", "-o", out});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string svg = ReadWholeFile(out);
  EXPECT_NE(svg.find("<svg"), std::string::npos);
  for (const char* text :
       {">Fixture Pop-up</text>", ">Name:</text>", ">OK</text>", ">Cancel</text>", ">Help</text>"})
    EXPECT_NE(svg.find(text), std::string::npos) << text;
}

TEST(DialogCommand, FailuresSayWhyAndExitWithOne) {
  const struct {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{"dialog", kFixture, "#999"}, "no dialog #999"},
      {{"dialog", kFixture, "100"}, "a numbered dialog is named #100"},
      {{"dialog", kFixture, "#102"}, "no dialog #102"},
      {{"dialog", "/no/such/file.dll", "#1"}, "cannot load"},
  };
  for (const auto& c : cases) {
    const OrvexRun run = RunOrvex(c.args);
    EXPECT_EQ(run.status, 1) << c.message;
    EXPECT_TRUE(run.out.empty()) << c.message;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
  }
}

TEST(DialogsCommand, CapturesEveryDialogAndNamesTheOnesThatFail) {
  TempDir dir;
  const std::string out = dir.File("all");
  const OrvexRun run = RunOrvex({"dialogs", kFixture, "-o", out, "--svg"});
  EXPECT_EQ(run.status, 1);  // #102 names a class nobody registered
  EXPECT_NE(run.err.find("dialog #102 could not be built"), std::string::npos) << run.err;
  for (const char* file : {"100.svg", "101.svg", "103.svg", "104.svg", "105.svg", "NAMED.svg"})
    EXPECT_TRUE(std::filesystem::exists(out + "/" + file)) << file;
  EXPECT_FALSE(std::filesystem::exists(out + "/102.svg"));
}

}  // namespace
}  // namespace orvex::test
