// End-to-end runs of the text commands (string, messages, version, menu, accel) on text.dll,
// compiled by the mingw-w64 tools from tests/fixtures/rc/text.rc: what each command prints
// for what the script declares, exactly.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/orvex_run.h"

namespace orvex::test {
namespace {

const std::string kTextFixture = ORVEX_SOURCE_DIR "/tests/fixtures/rc/text.dll";

std::string Output(const std::vector<std::string>& arguments) {
  const OrvexRun run = RunOrvex(arguments);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  return run.out;
}

TEST(TextCommandsTest, StringBlocksOneOrAllInIdentifierOrder) {
  // Block #1 holds identifiers 0 to 15; windres keeps "\n" as LF, printed as a line end.
  EXPECT_EQ(Output({"string", kTextFixture, "#1"}),
            "1: Hello\n2: Line one\nline two\n15: Tab\there\n");
  EXPECT_EQ(Output({"string", kTextFixture, "#7"}), "100: Block seven: 96 to 111\n");
  EXPECT_EQ(Output({"string", kTextFixture}),
            "[#1]\n1: Hello\n2: Line one\nline two\n15: Tab\there\n"
            "\n[#2]\n16: Block two starts here\n"
            "\n[#7]\n100: Block seven: 96 to 111\n"
            "\n[#251]\n4000: Caf\xC3\xA9\n");
  // --raw: the member's text as it stands, LF brought to CR LF inside the string.
  EXPECT_EQ(Output({"string", "--raw", kTextFixture, "#1"}),
            "1: Hello\r\n2: Line one\r\nline two\r\n15: Tab\there\r\n");
}

TEST(TextCommandsTest, MessagesWithSignedIdentifiersAndTheirOwnLineBreaks) {
  const std::string expected =
      "1: First message.\n2: Two lines:\nsecond line.\n-1073741819: Access violation at %1.\n";
  EXPECT_EQ(Output({"messages", kTextFixture, "#1"}), expected);
  EXPECT_EQ(Output({"messages", kTextFixture}), "[#1]\n" + expected);
  EXPECT_EQ(Output({"messages", "--raw", kTextFixture, "#1"}),
            "1: First message.\r\n2: Two lines:\r\nsecond line.\r\n"
            "-1073741819: Access violation at %1.\r\n");
}

TEST(TextCommandsTest, VersionOfTheFirstTranslationWithoutTheEmptyInternalName) {
  const std::string expected =
      "OriginalFilename:\n\ttext.dll\n"
      "FileVersion:\n\t3.1.4.1\n"
      "FileDescription:\n\tText readers fixture\n"
      "ProductName:\n\tOrvex fixtures\n"
      "ProductVersion:\n\t3.1\n"
      "CompanyName:\n\tOrvex Test Makers\n"
      "LegalCopyright:\n\t(c) 2026 Orvex Test Makers\n";
  EXPECT_EQ(Output({"version", kTextFixture}), expected);
  std::string raw;
  for (char c : expected) raw += c == '\n' ? std::string("\r\n") : std::string(1, c);
  EXPECT_EQ(Output({"version", "--raw", kTextFixture}), raw);
}

TEST(TextCommandsTest, MenusAsOutlines) {
  // A classic popup reports its submenu's handle as its identifier; the handles are made
  // innermost first, in this process the first ones of the menu handle table.
  EXPECT_EQ(Output({"menu", kTextFixture, "MAINMENU"}),
            "&File (cmdID = 65538)\n"
            ".....&Open...\tCtrl+O (cmdID = 101)\n"
            ".....[MENU SEPARATOR]\n"
            ".....&Recent (cmdID = 65537)\n"
            "..........First (checked) (cmdID = 111)\n"
            "..........[MENU SEPARATOR]\n"
            "..........Second (cmdID = 112)\n"
            ".....E&xit (cmdID = 102)\n"
            "&View (cmdID = 65539)\n"
            ".....&Status bar (checked) (cmdID = 201)\n"
            ".....&Grayed (cmdID = 202)\n"
            "&Help (cmdID = 40000)\n");
  // An extended menu keeps its popup's own identifier.
  const std::string extended =
      "&Edit (cmdID = 300)\n"
      ".....&Undo (cmdID = 301)\n"
      ".....[MENU SEPARATOR]\n"
      ".....&Paste (checked) (cmdID = 302)\n"
      "&About (cmdID = 400)\n";
  EXPECT_EQ(Output({"menu", kTextFixture, "extmenu"}), extended);
  const std::string all = Output({"menu", kTextFixture});
  EXPECT_EQ(all.substr(0, 11 + extended.size()), "[EXTMENU]\n" + extended + "\n");
  EXPECT_NE(all.find("\n[MAINMENU]\n&File (cmdID = "), std::string::npos);
}

TEST(TextCommandsTest, AcceleratorLines) {
  const std::string expected =
      "Ctrl+O (cmdID = 101)\n"
      "Shift+Ctrl+N (cmdID = 100)\n"
      "F1 (cmdID = 7)\n"
      "Shift+Ctrl+Alt+DEL (cmdID = -25536)\n"
      "Virtual Key 97 (cmdID = 103)\n"  // "a": a character code, named as a key code
      "Ctrl+C (cmdID = 104)\n";         // windres stores "^C" as Ctrl and the key C
  EXPECT_EQ(Output({"accel", kTextFixture, "MAINACCEL"}), expected);
  EXPECT_EQ(Output({"accel", kTextFixture}), "[MAINACCEL]\n" + expected);
}

TEST(TextCommandsTest, BadInputGivesOneMessage) {
  struct Case {
    std::vector<std::string> arguments;
    std::string err;
  };
  const std::vector<Case> cases = {
      {{"string", kTextFixture, "1"},
       "orvex: no string-table block named 1 in " + kTextFixture +
           " (a numbered resource is named #1)\n"},
      {{"menu", kTextFixture, "NOMENU"}, "orvex: no menu named NOMENU in " + kTextFixture + "\n"},
      {{"accel", kTextFixture, "#x"},
       "orvex: cannot read NAME \"#x\": \"#\" must be followed by a number from 0 to 65535 "
       "(for example #101)\n"},
      {{"version", kBasicFixture + ".missing"},
       "orvex: cannot load " + kBasicFixture + ".missing: no such file\n"},
      {{"version", kTextFixture + "/"}, "orvex: cannot load " + kTextFixture + "/: no such file\n"},
  };
  for (const Case& c : cases) {
    const OrvexRun run = RunOrvex(c.arguments);
    EXPECT_EQ(run.status, 1) << c.arguments[0];
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, c.err);
  }
  // Modules without text resources of a kind print nothing.
  EXPECT_EQ(Output({"messages", kBasicFixture}), "");
}

}  // namespace
}  // namespace orvex::test
