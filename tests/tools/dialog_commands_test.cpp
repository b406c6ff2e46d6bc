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
#include "pe_writer/pe_writer.h"
#include "pe_writer/resource_payloads.h"
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
      {{"dialog", kFixture, "#102", "--no-placeholders"},
       "names the unregistered window class NOSUCHCLASS"},
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
  const OrvexRun run = RunOrvex({"dialogs", kFixture, "-o", out, "--svg", "--no-placeholders"});
  EXPECT_EQ(run.status, 1);  // #102 names a class nobody registered
  EXPECT_NE(run.err.find("dialog #102 could not be built: it names the unregistered window "
                         "class NOSUCHCLASS"),
            std::string::npos)
      << run.err;
  for (const char* file : {"100.svg", "101.svg", "103.svg", "104.svg", "105.svg", "NAMED.svg"})
    EXPECT_TRUE(std::filesystem::exists(out + "/" + file)) << file;
  EXPECT_FALSE(std::filesystem::exists(out + "/102.svg"));
}

// Placeholders: classes a template names that its program registers when it runs.

// The JSON of `orvex dialog ... --json`, which must succeed.
nlohmann::json DescribeDialog(const std::string& module, const std::string& name) {
  const OrvexRun run = RunOrvex({"dialog", module, name, "--json"});
  EXPECT_EQ(run.status, 0) << run.err;
  if (run.status != 0) return {};
  return nlohmann::json::parse(run.out);
}

TEST(DialogPlaceholders, ControlsOfUnregisteredClassesAreDrawnAsLabelledSunkenBoxes) {
  // (windres stores the class name of the template in upper case)
  const nlohmann::json json = DescribeDialog(kFixture, "#102");
  EXPECT_EQ(json["placeholders"], nlohmann::json::array({"NOSUCHCLASS"}));
  ASSERT_EQ(json["controls"].size(), 3u);
  EXPECT_EQ(json["controls"][1]["class"], "NOSUCHCLASS");
  EXPECT_EQ(json["controls"][1]["id"], 402);

  TempDir dir;
  const std::string png = dir.File("102.png");
  const OrvexRun run = RunOrvex({"dialog", kFixture, "#102", "-o", png});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("NOSUCHCLASS drawn as placeholder"), std::string::npos) << run.err;
  // The placeholder's rectangle: its sunken edge is darker than the face at the top-left and
  // lighter at the bottom-right, and its label puts dark pixels inside.
  const auto rect = json["controls"][1]["rect"];
  const int left = rect[0], top = rect[1], right = rect[2], bottom = rect[3];
  const Image image = ReadPng(png);
  const auto grey = [&](int x, int y) {
    return static_cast<int>(image.words[static_cast<size_t>(y) * image.width + x] & 0xFF);
  };
  const int face = grey(left - 2, top + (bottom - top) / 2);  // the dialog beside it
  EXPECT_LT(grey(left + 2, top), face);
  EXPECT_GT(grey(right - 1, bottom - 1), grey(left, top));
  int dark = 0;
  for (int y = top + 2; y < bottom - 2; ++y)
    for (int x = left + 2; x < right - 2; ++x) dark += grey(x, y) < 0x40;
  EXPECT_GT(dark, 10);

  const std::string svg = dir.File("102.svg");
  ASSERT_EQ(RunOrvex({"dialog", kFixture, "#102", "-o", svg}).status, 0);
  EXPECT_NE(ReadWholeFile(svg).find(">NOSUCHCLASS</text>"), std::string::npos);
}

TEST(DialogPlaceholders, TheDialogsOwnClassAndRepeatedClassesAreNamedOnce) {
  TempDir dir;
  PeWriter writer;
  writer.Add(5, 1, 0x0409,
             Dialog(u"Own classes", 160, 60,
                    {{0, u"", 10, 0x50000000, 4, 4, 60, 20, u"HexEdit"},
                     {0, u"", 11, 0x50000000, 70, 4, 60, 20, u"hexedit"},
                     {0x80, u"OK", 1, 0x50010000, 4, 30, 40, 14}},
                    u"ProgramDialog"));
  const std::string module = dir.Write("own.dll", writer.Build());

  const OrvexRun refused = RunOrvex({"dialog", module, "#1", "--no-placeholders"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("names the unregistered window classes ProgramDialog, HexEdit "),
            std::string::npos)
      << refused.err;

  const nlohmann::json json = DescribeDialog(module, "#1");
  EXPECT_EQ(json["placeholders"], nlohmann::json::array({"ProgramDialog", "HexEdit"}));
  ASSERT_EQ(json["controls"].size(), 3u);
  EXPECT_EQ(json["controls"][2]["class"], "Button");

  // Every dialog of `dialogs` is written, and each says what stood in.
  const std::string out = dir.File("all");
  const OrvexRun all = RunOrvex({"dialogs", module, "-o", out});
  EXPECT_EQ(all.status, 0) << all.err;
  EXPECT_TRUE(std::filesystem::exists(out + "/1.png"));
  EXPECT_NE(all.err.find("dialog #1: ProgramDialog, HexEdit drawn as placeholders"),
            std::string::npos)
      << all.err;
}

TEST(DialogPlaceholders, DialogsWriteEveryFixtureDialogByDefault) {
  TempDir dir;
  const std::string out = dir.File("all");
  const OrvexRun run = RunOrvex({"dialogs", kFixture, "-o", out, "--svg"});
  EXPECT_EQ(run.status, 0) << run.err;
  for (const char* file :
       {"100.svg", "101.svg", "102.svg", "103.svg", "104.svg", "105.svg", "NAMED.svg"})
    EXPECT_TRUE(std::filesystem::exists(out + "/" + file)) << file;
}

// Dialogs of Wine's programs that name the program's own classes.
TEST(DialogPlaceholders, CorpusDialogsOfProgramClassesArePreviewed) {
  const struct {
    const char* file;
    const char* name;
    const char* windowClass;
  } cases[] = {
      {"regedit.exe", "#2003", "HexEdit"},
      {"conhost.exe", "#512", "WineConFontPreview"},
      {"setupapi.dll", "#1000", "setupx_progress"},
  };
  for (const auto& c : cases) {
    const std::string module = std::string(kCorpus) + "/" + c.file;
    if (!std::filesystem::exists(module)) GTEST_SKIP() << "no " << module;
    const OrvexRun refused = RunOrvex({"dialog", module, c.name, "--no-placeholders"});
    EXPECT_EQ(refused.status, 1) << c.file;
    EXPECT_NE(refused.err.find(c.windowClass), std::string::npos) << refused.err;
    const nlohmann::json json = DescribeDialog(module, c.name);
    EXPECT_NE(json.value("placeholders", nlohmann::json::array()).dump().find(c.windowClass),
              std::string::npos)
        << c.file << " " << json.dump();
  }
}

}  // namespace
}  // namespace orvex::test
