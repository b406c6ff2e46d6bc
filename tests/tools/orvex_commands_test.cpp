// End-to-end runs of the orvex client's commands (list, hex, html, data, scan) on the mingw
// fixture, the sample module of the build and modules written by the PE writer.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "base/byte_reader.h"
#include "pe_writer/pe_writer.h"
#include "platform/text/text.h"
#include "readers/hex_dump.h"
#include "support/temp_dir.h"
#include "tools/orvex_run.h"

namespace orvex::test {
namespace {

using Json = nlohmann::json;

// The bytes of a resource of `size` bytes in the fixture below: every value in turn.
std::vector<uint8_t> Pattern(size_t size) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 256);
  return bytes;
}

// The dump of `bytes` as the member lays it out, with LF line ends.
std::string ExpectedDump(const std::vector<uint8_t>& bytes) {
  std::string text = Utf16ToUtf8(RenderHexDump(AsBytes(bytes.data(), bytes.size())));
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

// RCDATA resources of the sizes the dump's limits turn on, an empty one, and a named type.
class OrvexCommandsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new TempDir();
    PeWriter writer;
    for (uint16_t size : {1, 16, 17, 13264, 13265}) writer.Add(10, size, 0x0409, Pattern(size));
    writer.Add(10, u"BIG", 0x0409, Pattern(70000));
    writer.Add(10, u"EMPTY", 0x0409, {});
    writer.Add(u"WAV", 5, 0x0409, Bytes("RIFF"));
    module_ = dir_->Write("sizes.dll", writer.Build());
    notModule_ = dir_->Write("notes.txt", Bytes("plain text, not a module"));
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }

  static TempDir* dir_;
  static std::string module_;
  static std::string notModule_;
};

TempDir* OrvexCommandsTest::dir_ = nullptr;
std::string OrvexCommandsTest::module_;
std::string OrvexCommandsTest::notModule_;

// Every type, name and size that basic.rc declares, in the enumeration's order (named types
// first, then numbers ascending). Style of a named type only stood for its name: null, the
// name in Type; the same module gives the same JSON on every run.
TEST_F(OrvexCommandsTest, ListJsonGivesTheRecordsOfTheResourceScript) {
  const OrvexRun run = RunOrvex({"list", "--json", kBasicFixture});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  Json listing = Json::parse(run.out);
  EXPECT_EQ(listing["file"], kBasicFixture);
  auto items = [](std::vector<std::pair<std::string, int>> entries) {
    Json out = Json::array();
    int index = 0;
    for (const auto& [name, size] : entries) {
      out.push_back({{"Index", ++index},
                     {"NameLong", name},
                     {"ID", name},
                     {"Size", size},
                     {"Comments", ""},
                     {"truncated", false}});
    }
    return out;
  };
  auto type = [](int index, const std::string& nameLong, Json style, Json typeArgument,
                 Json records) {
    return Json{{"Index", index}, {"NameLong", nameLong}, {"Comments", ""},
                {"Style", style}, {"Type", typeArgument}, {"ResourceItems", records}};
  };
  const Json expected = {
      type(1, "MYDATA", nullptr, "MYDATA", items({{"ALPHA", 5}, {"ZETA", 4}, {"300", 13}})),
      type(2, "TEXT", nullptr, "TEXT", items({{"GREETING", 12}, {"NEUTRAL", 7}, {"7", 13}})),
      type(3, "Menu resource", 4, 4, items({{"MAINMENU", 34}})),
      type(4, "String-table entry", 6, 6, items({{"1", 82}, {"2", 50}})),
      type(5, "Application-defined resource (raw data)", 10, 10,
           items({{"CONFIG", 10}, {"1", 12}, {"42", 5}})),
      type(6, "Version resource", 16, 16, items({{"1", 348}})),
  };
  EXPECT_EQ(listing["types"], expected) << listing["types"].dump(2);
  EXPECT_EQ(listing.size(), 2u);
  EXPECT_EQ(RunOrvex({"list", "--json", kBasicFixture}).out, run.out);
}

TEST_F(OrvexCommandsTest, ListTextNamesTypesAndItemsAsTheReadersTakeThem) {
  const OrvexRun run = RunOrvex({"list", kBasicFixture});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, kBasicFixture +
                         ": 6 types, 13 resources\n"
                         "MYDATA  (named type)\n"
                         "    ALPHA            5\n"
                         "    ZETA             4\n"
                         "    #300            13\n"
                         "TEXT    (named type)\n"
                         "    GREETING        12\n"
                         "    NEUTRAL          7\n"
                         "    #7              13\n"
                         "4       Menu resource\n"
                         "    MAINMENU        34\n"
                         "6       String-table entry\n"
                         "    #1              82\n"
                         "    #2              50\n"
                         "10      Application-defined resource (raw data)\n"
                         "    CONFIG          10\n"
                         "    #1              12\n"
                         "    #42              5\n"
                         "16      Version resource\n"
                         "    #1             348\n");
}

// The sample module of the build is the default and holds every kind of resource.
TEST_F(OrvexCommandsTest, ListWithoutFileShowsTheSampleModule) {
  const OrvexRun run = RunOrvex({"list", "--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  const Json listing = Json::parse(run.out);
  EXPECT_EQ(std::filesystem::path(listing["file"].get<std::string>()).filename(), "sample.dll");
  std::vector<Json> styles;
  for (const Json& type : listing["types"]) {
    EXPECT_FALSE(type["ResourceItems"].empty()) << type;
    for (const Json& item : type["ResourceItems"]) EXPECT_GT(item["Size"], 0) << item;
    styles.push_back(type["Type"]);
  }
  EXPECT_EQ(Json(styles), Json::parse(R"(["AVI","WAV",1,2,3,4,5,6,9,10,11,12,14,16,23,24])"));
}

TEST_F(OrvexCommandsTest, HexOfOneByteIsOneLineOf79Characters) {
  const std::string line =
      "00000000 | 41                                              | A...............";
  ASSERT_EQ(line.size() + 2, 79u);
  const OrvexRun lf = RunOrvex({"hex", kSampleModule, "10", "#2"});
  EXPECT_EQ(lf.status, 0);
  EXPECT_EQ(lf.err, "");
  EXPECT_EQ(lf.out, line + "\n");
  const OrvexRun raw = RunOrvex({"hex", "--raw", kSampleModule, "10", "#2"});
  EXPECT_EQ(raw.out, line + "\r\n");
}

// Up to the member's limit the member renders; past it the client streams the same layout.
TEST_F(OrvexCommandsTest, HexShowsEveryByteOnEitherSideOfTheLimit) {
  const struct {
    std::string name;
    size_t size;
  } cases[] = {{"#16", 16}, {"#17", 17}, {"#13264", 13264}, {"#13265", 13265}, {"BIG", 70000}};
  for (const auto& c : cases) {
    const OrvexRun run = RunOrvex({"hex", module_, "10", c.name});
    EXPECT_EQ(run.status, 0) << c.name;
    EXPECT_EQ(run.err, "") << c.name;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), (c.size + 15) / 16) << c.name;
    EXPECT_TRUE(run.out == ExpectedDump(Pattern(c.size))) << c.name;
  }
  // --raw gives the member's text as it is: blanks past the limit, and a note why.
  const OrvexRun raw = RunOrvex({"hex", "--raw", module_, "10", "#13265"});
  EXPECT_EQ(raw.status, 0);
  EXPECT_EQ(raw.out, std::string(65570, ' '));
  EXPECT_NE(raw.err.find("GetHexDump gives blanks"), std::string::npos) << raw.err;
}

TEST_F(OrvexCommandsTest, HexOfAnEmptyResourcePrintsNothingAndReportsNothing) {
  const OrvexRun run = RunOrvex({"hex", module_, "10", "EMPTY"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "");
}

TEST_F(OrvexCommandsTest, DataWritesTheResourceBytesToAFileOrStdout) {
  const std::string out = dir_->File("big.bin");
  const OrvexRun toFile = RunOrvex({"data", module_, "10", "BIG", "-o", out});
  EXPECT_EQ(toFile.status, 0) << toFile.err;
  EXPECT_EQ(toFile.out, "");
  const std::vector<uint8_t> expected = Pattern(70000);
  EXPECT_TRUE(ReadWholeFile(out) == std::string(expected.begin(), expected.end()));

  const OrvexRun toStdout = RunOrvex({"data", kSampleModule, "10", "config"});
  EXPECT_EQ(toStdout.status, 0);
  EXPECT_EQ(toStdout.out, "mode=sample\r\nlevel=3\r\n");
  // A named type, looked up by name only.
  EXPECT_EQ(RunOrvex({"data", module_, "wav", "#5"}).out, "RIFF");
}

// TYPE and NAME reach the readers as written: "#10" and "010" name type 10, names and
// named types match without regard to case.
TEST_F(OrvexCommandsTest, TypeAndNameReachTheReadersAsWritten) {
  const std::vector<uint8_t> one = Pattern(1);
  const std::vector<uint8_t> big = Pattern(70000);
  const struct {
    std::string type;
    std::string name;
    std::string bytes;
  } cases[] = {
      {"10", "#1", std::string(one.begin(), one.end())},
      {"#10", "#1", std::string(one.begin(), one.end())},
      {"010", "#01", std::string(one.begin(), one.end())},
      {"10", "big", std::string(big.begin(), big.end())},
      {"wav", "#5", "RIFF"},
      {"Wav", "#5", "RIFF"},
  };
  for (const auto& c : cases) {
    const OrvexRun run = RunOrvex({"data", module_, c.type, c.name});
    EXPECT_EQ(run.status, 0) << c.type << " " << c.name << ": " << run.err;
    EXPECT_EQ(run.err, "") << c.type << " " << c.name;
    EXPECT_TRUE(run.out == c.bytes) << c.type << " " << c.name;
  }
}

// GetDataArray gives an empty resource and a missing one alike; the client tells them apart.
TEST_F(OrvexCommandsTest, AnEmptyResourceIsNoMissingOne) {
  for (const std::string command : {"hex", "html", "data"}) {
    const OrvexRun empty = RunOrvex({command, module_, "10", "EMPTY"});
    EXPECT_EQ(empty.status, 0) << command;
    EXPECT_EQ(empty.out, "") << command;
    EXPECT_EQ(empty.err, "") << command;
    const OrvexRun missing = RunOrvex({command, module_, "10", "FULL"});
    EXPECT_EQ(missing.status, 1) << command;
    EXPECT_EQ(missing.out, "") << command;
    EXPECT_EQ(missing.err, "orvex: no resource of type 10 named FULL in " + module_ + "\n");
  }
  const OrvexRun otherType = RunOrvex({"data", module_, "6", "EMPTY"});
  EXPECT_EQ(otherType.status, 1);
  EXPECT_EQ(otherType.err, "orvex: no resource of type 6 named EMPTY in " + module_ + "\n");
}

TEST_F(OrvexCommandsTest, HtmlPrintsTheTextWithLineEndsOfThisSystemUnlessRaw) {
  const OrvexRun run = RunOrvex({"html", kSampleModule, "23", "ABOUT"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out.rfind("<html>\n<head>", 0), 0u) << run.out;
  EXPECT_EQ(run.out.find('\r'), std::string::npos);
  const OrvexRun raw = RunOrvex({"html", "--raw", kSampleModule, "23", "ABOUT"});
  EXPECT_EQ(raw.out.rfind("<html>\r\n<head>", 0), 0u) << raw.out;
}

// Bad input: one line on stderr, nothing on stdout, a failing status, and no box or report.
TEST_F(OrvexCommandsTest, BadInputGivesOneMessageAndAFailingStatus) {
  const std::string folder = dir_->Path();
  const struct {
    std::vector<std::string> arguments;
    std::string message;
  } cases[] = {
      {{"list", notModule_},
       "cannot load " + notModule_ + ": not a PE module (EXE, DLL or other PE file)"},
      {{"hex", dir_->File("missing.dll"), "10", "#1"},
       "cannot load " + dir_->File("missing.dll") + ": no such file"},
      {{"list", folder}, "cannot load " + folder + ": a folder, not a file"},
      {{"list", folder + "/"}, "cannot load " + folder + "/: a folder, not a file"},
      {{"version", module_}, "no version information in " + module_},
      {{"hex", module_, "10", "#9"}, "no resource of type 10 named #9 in " + module_},
      {{"data", module_, "10", "16"},
       "no resource of type 10 named 16 in " + module_ + " (a numbered resource is named #16)"},
      {{"html", module_, "AVI", "CLIP"}, "no resource of type AVI named CLIP in " + module_},
      {{"hex", module_, "0", "#1"},
       "cannot read TYPE \"0\": type numbers go from 1 to 65535 (for example 6 or 10)"},
      {{"hex", module_, "70000", "#1"},
       "cannot read TYPE \"70000\": type numbers go from 1 to 65535 (for example 6 or 10)"},
      {{"hex", module_, "", "#1"}, "cannot read TYPE \"\": give a type number or a type name"},
      {{"hex", module_, "\xD0\x96", "#1"},
       "cannot read TYPE \"\xD0\x96\": it has characters outside the Windows-1252 code page"},
      {{"hex", module_, "10", "#abc"},
       "cannot read NAME \"#abc\": \"#\" must be followed by a number from 0 to 65535 (for "
       "example #101)"},
      {{"data", module_, "10", "#65536"},
       "cannot read NAME \"#65536\": \"#\" must be followed by a number from 0 to 65535 (for "
       "example #101)"},
  };
  for (const auto& c : cases) {
    const OrvexRun run = RunOrvex(c.arguments);
    EXPECT_EQ(run.status, 1) << c.message;
    EXPECT_EQ(run.out, "") << c.message;
    EXPECT_EQ(run.err, "orvex: " + c.message + "\n");
  }
}

std::vector<Json> JsonLines(const std::string& text) {
  std::vector<Json> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(Json::parse(line));
  return lines;
}

TEST_F(OrvexCommandsTest, ScanGivesOneLinePerFileInPathOrder) {
  TempDir tree;
  std::filesystem::create_directories(tree.File("sub/deeper"));
  std::filesystem::copy_file(kBasicFixture, tree.File("sub/basic.dll"));
  std::filesystem::copy_file(module_, tree.File("sub/deeper/sizes.dll"));
  std::filesystem::copy_file(kSampleModule, tree.File("a.dll"));
  tree.Write("readme.txt", Bytes("no module here"));

  const OrvexRun run = RunOrvex({"scan", tree.Path()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const std::vector<Json> lines = JsonLines(run.out);
  ASSERT_EQ(lines.size(), 4u) << run.out;
  EXPECT_EQ(lines[0]["path"], tree.File("a.dll"));
  EXPECT_EQ(lines[1]["path"], tree.File("readme.txt"));
  EXPECT_EQ(lines[1]["skipped"], "not a PE module (EXE, DLL or other PE file)");
  EXPECT_FALSE(lines[1].contains("types"));
  EXPECT_FALSE(lines[1].contains("messages"));  // the failed load's box is the reason
  EXPECT_EQ(lines[2]["path"], tree.File("sub/basic.dll"));
  EXPECT_EQ(lines[3]["path"], tree.File("sub/deeper/sizes.dll"));
  EXPECT_EQ(lines[2]["types"][0], Json::parse(R"({"type":"MYDATA","description":"MYDATA","items":[
              {"name":"ALPHA","size":5},{"name":"ZETA","size":4},{"name":"#300","size":13}]})"));
  EXPECT_EQ(lines[2]["types"][3],
            Json::parse(R"({"type":"6","description":"String-table entry","items":[
              {"name":"#1","size":82},{"name":"#2","size":50}]})"));
  EXPECT_EQ(lines[0]["types"].size(), 16u);

  // One worker or several: the same lines.
  const OrvexRun single = RunOrvex({"scan", "-j", "1", tree.Path()});
  EXPECT_EQ(single.out, run.out);
  const OrvexRun many = RunOrvex({"scan", "--jobs", "3", tree.File("a.dll"), tree.Path()});
  EXPECT_EQ(many.out, run.out.substr(0, run.out.find('\n') + 1) + run.out);
}

TEST_F(OrvexCommandsTest, ScanNamesMissingPathsAndGoesOn) {
  const std::string missing = dir_->File("nowhere");
  const OrvexRun run = RunOrvex({"scan", missing, module_});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "orvex: no such file or folder: " + missing + "\n");
  const std::vector<Json> lines = JsonLines(run.out);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0],
            Json::parse(R"({"path":")" + missing + R"(","skipped":"no such file or folder"})"));
  EXPECT_EQ(lines[1]["types"][1]["items"].size(), 7u);  // after the named type WAV
}

}  // namespace
}  // namespace orvex::test
