// `orvex dump`: the files it writes, a truncated module, and the round trip of its resource
// script through the resource compiler: every type, name, language and byte as stored.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "pe_writer/pe_writer.h"
#include "pe_writer/resource_payloads.h"
#include "platform/module/listing.h"
#include "platform/module/module.h"
#include "support/temp_dir.h"
#include "tools/orvex_run.h"

namespace orvex::test {
namespace {

namespace fs = std::filesystem;

constexpr char kWindres[] = "x86_64-w64-mingw32-windres";

bool HaveWindres() {
  return std::system("command -v x86_64-w64-mingw32-windres > /dev/null 2>&1") == 0;
}

// Runs the resource compiler on `dir`/resources.rc from that folder; its exit status.
int CompileScript(const std::string& dir, const std::string& out) {
  const pid_t child = fork();
  if (child == 0) {
    if (chdir(dir.c_str()) != 0) _exit(126);
    execlp(kWindres, kWindres, "-i", "resources.rc", "-O", "res", "-o", out.c_str(),
           static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

std::string Bytes(HMODULE module, const std::string& line) {
  // line: type|name|language|size
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t bar; (bar = line.find('|', start)) != std::string::npos; start = bar + 1)
    parts.push_back(line.substr(start, bar - start));
  auto id = [](const std::string& text) {
    return text.find_first_not_of("0123456789") == std::string::npos ? "#" + text : text;
  };
  const std::string type = id(parts[0]), name = id(parts[1]);
  const HRSRC found = FindResourceExA(module, type.c_str(), name.c_str(),
                                      static_cast<WORD>(std::stoul(parts[2], nullptr, 16)));
  const void* data = LockResource(LoadResource(module, found));
  if (data == nullptr) return "<none>";
  return std::string(static_cast<const char*>(data), SizeofResource(module, found));
}

TEST(DumpCommand, ScriptCompilesBackToTheSameResources) {
  if (!HaveWindres()) GTEST_SKIP() << "no " << kWindres;
  for (const char* fixture : {"basic", "text", "dialogs", "images", "zero"}) {
    TempDir dir;
    const std::string module = std::string(ORVEX_SOURCE_DIR "/tests/fixtures/rc/") + fixture;
    const std::string out = dir.File("dump");
    const OrvexRun run = RunOrvex({"dump", module + ".dll", "-o", out});
    // dialogs.dll's dialog of an unregistered class is previewed with a placeholder.
    EXPECT_EQ(run.status, 0) << fixture << run.err;
    const nlohmann::json index = nlohmann::json::parse(ReadWholeFile(out + "/index.json"));
    EXPECT_TRUE(index["script"]["exceptions"].empty()) << fixture << index["script"].dump();
    ASSERT_EQ(CompileScript(out, dir.File("back.res")), 0) << fixture;

    const HMODULE original = LoadLibraryExA((module + ".dll").c_str(), 0, 0);
    const HMODULE compiled = LoadLibraryExA(dir.File("back.res").c_str(), 0, 0);
    ASSERT_NE(compiled, 0u) << fixture;
    const std::vector<std::string> listing = ListResources(original);
    EXPECT_EQ(ListResources(compiled), listing) << fixture;
    for (const std::string& line : listing)
      EXPECT_EQ(Bytes(compiled, line), Bytes(original, line)) << fixture << " " << line;
    FreeLibrary(original);
    FreeLibrary(compiled);
  }
}

// A module another compiler made: texts that need escapes, padding and class names the
// resource compiler cannot write (file references then), a name it cannot store (left out).
TEST(DumpCommand, ScriptOfAnotherCompilersModuleCompilesBackExceptWhatItLeavesOut) {
  if (!HaveWindres()) GTEST_SKIP() << "no " << kWindres;
  TempDir dir;
  PeWriter writer;
  writer.Add(
      6, 1, 0x0409,
      StringBlock({u"", u"quote \" back\\slash\ttab\r\nline", u"Gr\u00FC\u00DFe \u2603 \U0001F600",
                   u"\x01ctl\x7f end", u"lone \xD800 surrogate", u"'single' /* c */ // x"}));
  writer.Add(6, 2, 0x0407, StringBlock({u"", u"", u"", u"", u"", u"f\u00FCnf"}));
  writer.Add(4, 1, 0x0409,
             ClassicMenu({Popup(u"&File", {Command(u"&Open\tCtrl+O", 100), Separator(),
                                           Command(u"E&xit", 101, 0x8)}),
                          Command(u"&Help", 102)}));
  writer.Add(4, 2, 0x0409,
             ExtendedMenu({Popup(u"&Edit", {Command(u"&Undo", 200), Separator()}, 7),
                           Command(u"Odd", 201)}));
  writer.Add(5, 1, 0x0409,
             Dialog(u"Caption \"q\"", 100, 50,
                    {{0x80, u"OK", 1, 0x50010001, 4, 4, 40, 14},
                     {0x81, u"", 2, 0x50810080, 4, 20, 40, 12},
                     {0x82, u"Text", 0xFFFF, 0x50000000, 4, 36, 40, 8}}));
  writer.Add(9, u"KEYS", 0x0409, Accelerators({{0x09, 'O', 100}, {0x00, 'a', 101}}));
  writer.Add(16, 1, 0x0409,
             VersionInfo({1, 2, 3, 4}, {{u"040904B0", {{u"FileVersion", u"1.2.3.4"}}}},
                         {{0x0409, 0x04B0}}));
  writer.Add(u"AVI", 1, 0x0409, AviClip(4, 4, 2));
  writer.Add(u"WAVE", u"DING", 0x0409, WaveSound(64));
  writer.Add(u"MYTYPE", u"DLLS/X.RES\\2", 0x0409, test::Bytes("back slash"));
  writer.Add(10, u"mixed", 0x0409, test::Bytes("lower case"));
  writer.Add(2, 3, 0x0409, Bitmap(4, 4));
  const std::string module = dir.Write("other.dll", writer.Build());
  const std::string out = dir.File("dump");
  const OrvexRun run = RunOrvex({"dump", module, "-o", out});
  EXPECT_NE(run.err.find("left out of resources.rc: RCDATA mixed"), std::string::npos) << run.err;
  const nlohmann::json script = nlohmann::json::parse(ReadWholeFile(out + "/index.json"))["script"];
  EXPECT_EQ(script["text"]["STRING"], 2) << script.dump();
  EXPECT_EQ(script["left_out"].size(), 1u) << script.dump();
  EXPECT_TRUE(fs::exists(out + "/avi/1.avi"));
  EXPECT_TRUE(fs::exists(out + "/avi/1.gif"));
  EXPECT_TRUE(fs::exists(out + "/wave/DING.wav"));
  ASSERT_EQ(CompileScript(out, dir.File("back.res")), 0) << ReadWholeFile(out + "/resources.rc");

  const HMODULE original = LoadLibraryExA(module.c_str(), 0, 0);
  const HMODULE compiled = LoadLibraryExA(dir.File("back.res").c_str(), 0, 0);
  ASSERT_NE(compiled, 0u);
  std::vector<std::string> expected;
  for (const std::string& line : ListResources(original))
    if (line.find("|mixed|") == std::string::npos) expected.push_back(line);
  EXPECT_EQ(ListResources(compiled), expected);
  for (const std::string& line : expected)
    EXPECT_EQ(Bytes(compiled, line), Bytes(original, line)) << line;
  FreeLibrary(original);
  FreeLibrary(compiled);
}

TEST(DumpCommand, WritesFilesOfEveryKindAndAnIndex) {
  TempDir dir;
  const std::string out = dir.File("dump");
  const OrvexRun run =
      RunOrvex({"dump", ORVEX_SOURCE_DIR "/tests/fixtures/rc/text.dll", "-o", out});
  ASSERT_EQ(run.status, 0) << run.err;
  for (const char* file :
       {"index.html", "index.json", "resources.rc", "string/1.txt", "menu/MAINMENU.txt",
        "accelerator/MAINACCEL.txt", "version/1.txt", "messagetable/1.bin", "messagetable/1.txt"})
    EXPECT_TRUE(fs::exists(out + "/" + file)) << file;
  EXPECT_EQ(ReadWholeFile(out + "/string/7.txt"), "100: Block seven: 96 to 111\n");
  // Beside each text, the record the text command's --json prints, listed in both indexes.
  const std::string text = ORVEX_SOURCE_DIR "/tests/fixtures/rc/text.dll";
  const struct {
    const char* file;
    std::vector<std::string> command;
  } records[] = {
      {"string/7.json", {"string", text, "#7", "--json"}},
      {"menu/MAINMENU.json", {"menu", text, "MAINMENU", "--json"}},
      {"accelerator/MAINACCEL.json", {"accel", text, "MAINACCEL", "--json"}},
      {"messagetable/1.json", {"messages", text, "#1", "--json"}},
      {"version/1.json", {"version", text, "--json"}},
  };
  const nlohmann::json listing = nlohmann::json::parse(ReadWholeFile(out + "/index.json"));
  const std::string html = ReadWholeFile(out + "/index.html");
  for (const auto& record : records) {
    const OrvexRun expected = RunOrvex(record.command);
    ASSERT_EQ(expected.status, 0) << expected.err;
    EXPECT_EQ(ReadWholeFile(out + "/" + record.file), expected.out) << record.file;
    bool listed = false;
    for (const auto& resource : listing["resources"])
      for (const auto& file : resource["files"]) listed = listed || file == record.file;
    EXPECT_TRUE(listed) << record.file;
    EXPECT_NE(html.find(std::string("<a href=\"") + record.file + "\">"), std::string::npos)
        << record.file;
  }

  const std::string images = dir.File("images");
  ASSERT_EQ(
      RunOrvex({"dump", ORVEX_SOURCE_DIR "/tests/fixtures/rc/images.dll", "-o", images, "--no-rc"})
          .status,
      0);
  EXPECT_FALSE(fs::exists(images + "/resources.rc"));
  // A bitmap is the stored DIB behind a file header.
  const std::string bmp = ReadWholeFile(images + "/bitmap/101.bmp");
  ASSERT_GT(bmp.size(), 14u);
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  EXPECT_TRUE(fs::exists(images + "/bitmap/101.png"));
  const std::string index = ReadWholeFile(images + "/index.html");
  EXPECT_NE(index.find("<img src=\"bitmap/101.png\""), std::string::npos);
}

TEST(DumpCommand, ReadsACompiledResourceFile) {
  TempDir dir;
  const std::string res = ORVEX_SOURCE_DIR "/tests/fixtures/rc/basic.res";
  const OrvexRun list = RunOrvex({"list", res});
  EXPECT_EQ(list.status, 0) << list.err;
  EXPECT_EQ(list.out, RunOrvex({"list", kBasicFixture}).out.replace(0, kBasicFixture.size(), res));
  EXPECT_EQ(RunOrvex({"dump", res, "-o", dir.File("dump")}).status, 0);
}

TEST(DumpCommand, TruncatedModuleFailsForTheUnreadableResourcesOnly) {
  TempDir dir;
  constexpr uint32_t kPastTheEnd = 1 << 20;
  PeWriter writer;
  writer.Add(10, 1, 0x0409, test::Bytes("whole"));
  writer.Add(10, 2, 0x0409, test::Bytes("cut off"), -1, kPastTheEnd);
  writer.Add(6, 1, 0x0409, StringBlock({u"", u"one"}));
  writer.Add(6, 2, 0x0409, StringBlock({u"two"}), -1, kPastTheEnd);
  writer.Add(3, 1, 0x0409, IconImage(16));
  writer.Add(14, 1, 0x0409, IconGroup({{1, IconImage(16)}}));
  writer.Add(14, 2, 0x0409, IconGroup({{1, IconImage(16)}}), -1, kPastTheEnd);
  const std::string module = dir.Write("cut.dll", writer.Build());
  const std::string out = dir.File("dump");
  const OrvexRun run = RunOrvex({"dump", module, "-o", out});
  EXPECT_EQ(run.status, 1);
  const std::string beyond =
      ": resource data lies beyond the end of the file (a truncated module?)\n";
  EXPECT_EQ(run.err, "orvex: STRING #2" + beyond + "orvex: RCDATA #2" + beyond +
                         "orvex: GROUP_ICON #2" + beyond + "orvex: wrote 4 resources to " + out +
                         "\n");
  EXPECT_EQ(ReadWholeFile(out + "/rcdata/1.bin"), "whole");
  EXPECT_EQ(ReadWholeFile(out + "/string/1.txt"), "1: one\n");
  EXPECT_TRUE(fs::exists(out + "/group_icon/icon_1.ico"));
  EXPECT_TRUE(fs::exists(out + "/resources.rc"));
}

// shell32 of the Wine corpus cut after 4 MB, as `head -c` cuts a download.
TEST(DumpCommand, CutSystemModuleGivesOneLinePerUnreadableResource) {
  const std::string shell32 = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/shell32.dll";
  if (!fs::exists(shell32) || fs::file_size(shell32) <= 4000000) GTEST_SKIP() << "no shell32";
  TempDir dir;
  std::string bytes = ReadWholeFile(shell32);
  bytes.resize(4000000);
  const std::string module = dir.Write("cut.dll", std::vector<uint8_t>(bytes.begin(), bytes.end()));
  const std::string out = dir.File("dump");
  const OrvexRun run = RunOrvex({"dump", module, "-o", out});
  EXPECT_EQ(run.status, 1);
  const nlohmann::json index = nlohmann::json::parse(ReadWholeFile(out + "/index.json"));
  size_t unreadable = 0, written = 0;
  for (const auto& entry : index["resources"]) {
    if (entry.contains("error")) {
      ++unreadable;
      const std::string line = "orvex: " + entry["type"].get<std::string>() + " " +
                               entry["name"].get<std::string>() +
                               ": resource data lies beyond the end of the file (a truncated "
                               "module?)\n";
      EXPECT_NE(run.err.find(line), std::string::npos) << line;
    } else {
      for (const auto& file : entry["files"]) {
        EXPECT_TRUE(fs::exists(out + "/" + file.get<std::string>())) << file;
        ++written;
      }
    }
  }
  EXPECT_GT(unreadable, 0u);
  EXPECT_GT(written, 100u);
  // One line per resource that cannot be read or rendered, and the summary.
  size_t lines = 0;
  for (char c : run.err) lines += c == '\n';
  size_t failed = 0;
  for (const auto& entry : index["resources"]) failed += entry.contains("error");
  EXPECT_GE(lines, failed + 1);
  EXPECT_NE(run.err.find("orvex: wrote "), std::string::npos);
}

}  // namespace
}  // namespace orvex::test
