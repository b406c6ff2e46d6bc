// What every command of orvex shares: --version and help, exit status 2 with the command's
// usage for a command line it cannot act on and 1 for a failure, the standard type names
// wherever a TYPE is taken, and a README that documents every command.
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "pe_writer/pe_writer.h"
#include "pe_writer/resource_payloads.h"
#include "support/temp_dir.h"
#include "tools/orvex_run.h"

namespace orvex::test {
namespace {

namespace fs = std::filesystem;

// The commands `orvex help` lists: the first word of each line under "Subcommands:".
std::set<std::string> ListedCommands(const std::string& help) {
  std::set<std::string> commands;
  const size_t start = help.find("Subcommands:");
  if (start == std::string::npos) return commands;
  const std::regex line(R"(\n  ([a-z]+) )");
  for (std::sregex_iterator it(help.begin() + static_cast<ptrdiff_t>(start), help.end(), line), end;
       it != end; ++it)
    commands.insert((*it)[1]);
  return commands;
}

TEST(CliConventions, VersionAndHelpForEveryCommand) {
  const OrvexRun about = RunOrvex({"about"});
  ASSERT_EQ(about.status, 0) << about.err;
  const OrvexRun version = RunOrvex({"--version"});
  EXPECT_EQ(version.status, 0) << version.err;
  EXPECT_EQ(version.out, "orvex " + about.out.substr(0, about.out.find('\n') + 1));

  const OrvexRun help = RunOrvex({"help"});
  EXPECT_EQ(help.status, 0) << help.err;
  const std::set<std::string> commands = ListedCommands(help.out);
  EXPECT_GE(commands.size(), 20u) << help.out;
  for (const std::string& command : commands) {
    const OrvexRun one = RunOrvex({"help", command});
    EXPECT_EQ(one.status, 0) << command << ": " << one.err;
    EXPECT_NE(one.out.find("orvex " + command), std::string::npos) << one.out;
  }
  // The server lists its own options, asked either way.
  for (const auto& arguments :
       {std::vector<std::string>{"help", "serve"}, std::vector<std::string>{"serve", "--help"}}) {
    const OrvexRun serve = RunOrvex(arguments);
    EXPECT_EQ(serve.status, 0) << serve.err;
    for (const char* option : {"PATH", "--port", "--bind"})
      EXPECT_NE(serve.out.find(option), std::string::npos) << serve.out;
  }
}

TEST(CliConventions, TheReadmeDocumentsEveryCommand) {
  const std::string readme = ReadWholeFile(ORVEX_SOURCE_DIR "/README.md");
  for (const std::string& command : ListedCommands(RunOrvex({"help"}).out)) {
    EXPECT_NE(readme.find("| `orvex " + command), std::string::npos) << command;
  }
}

// A command line that cannot be acted on: exit status 2, the message and the command's
// usage on stderr, nothing written.
TEST(CliConventions, UsageErrorsExitTwoWithTheCommandsUsage) {
  TempDir dir;
  const std::string module = kSampleModule;
  const struct {
    std::vector<std::string> arguments;
    std::string message;
    std::string usage;
    std::string written;  // a file that must not exist afterwards
  } cases[] = {
      {{}, "A subcommand is required", "Subcommands:", ""},
      {{"frobnicate"}, "unknown command 'frobnicate'", "Subcommands:", ""},
      {{"help", "frobnicate"}, "no command named 'frobnicate'", "Usage: orvex help", ""},
      {{"list", "--nope"}, "--nope", "Usage: orvex list", ""},
      {{"hex", module}, "TYPE is required", "Usage: orvex hex [OPTIONS] FILE TYPE NAME", ""},
      {{"picture", module, "3", "#1", "-o", dir.File("x.jpg")},
       "cannot write " + dir.File("x.jpg") + ": a picture is written as .png",
       "Usage: orvex picture",
       dir.File("x.jpg")},
      {{"show", module, "3", "#1", "-o", dir.File("x.bmp")},
       "written as .png",
       "Usage: orvex show",
       dir.File("x.bmp")},
      {{"dialog", module, "#100", "-o", dir.File("x.gif")},
       "written as .png or .svg",
       "Usage: orvex dialog",
       dir.File("x.gif")},
      {{"avi", module, "CLIP", "-o", dir.File("x.mp4")},
       "an animated .gif or into a folder",
       "Usage: orvex avi",
       dir.File("x.mp4")},
      {{"play", module, "#1", "--to", dir.File("x.mp3")},
       "written as .wav",
       "Usage: orvex play",
       dir.File("x.mp3")},
      {{"dump", module, "-o", dir.File("dump"), "--lang", "0x10000"},
       "--lang takes all or a language identifier",
       "Usage: orvex dump",
       dir.File("dump")},
  };
  for (const auto& c : cases) {
    const std::string label = c.arguments.empty() ? "(none)" : c.arguments[0];
    const OrvexRun run = RunOrvex(c.arguments);
    EXPECT_EQ(run.status, 2) << label << ": " << run.err;
    EXPECT_EQ(run.err.rfind("orvex: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(c.usage), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "") << label;
    if (!c.written.empty()) {
      EXPECT_FALSE(fs::exists(c.written)) << c.written;
    }
  }
}

// ICON, RCDATA, GROUP_ICON, ... stand for their numbers wherever TYPE is taken.
TEST(CliConventions, StandardTypeNamesStandForTheirNumbers) {
  const std::string module = kSampleModule;
  const struct {
    std::vector<std::string> byName;
    std::vector<std::string> byNumber;
  } cases[] = {
      {{"hex", module, "ICON", "#1"}, {"hex", module, "3", "#1"}},
      {{"data", module, "rcdata", "CONFIG"}, {"data", module, "10", "CONFIG"}},
      {{"html", module, "RT_MANIFEST", "#2"}, {"html", module, "24", "#2"}},
      {{"data", module, "STRING", "#2"}, {"data", module, "6", "#2"}},
      {{"picture", module, "GROUP_ICON", "APPICON"}, {"picture", module, "14", "APPICON"}},
      {{"picture", module, "cursor", "#2"}, {"picture", module, "1", "#2"}},
  };
  for (const auto& c : cases) {
    const OrvexRun byName = RunOrvex(c.byName);
    const OrvexRun byNumber = RunOrvex(c.byNumber);
    EXPECT_EQ(byName.status, 0) << c.byName[2] << ": " << byName.err;
    EXPECT_FALSE(byName.out.empty()) << c.byName[2];
    EXPECT_EQ(byName.out, byNumber.out) << c.byName[2];
  }
}

TEST(CliConventions, SaveToAFolderThatIsNotThereGivesOneMessage) {
  TempDir dir;
  const std::string out = dir.File("no/folder/x.bin");
  const OrvexRun run = RunOrvex({"save", kSampleModule, "10", "#2", out});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "orvex: cannot save to " + out + ": no such folder\n");
}

// `orvex html` on a resource of binary bytes: on a terminal, a warning and nothing printed;
// into a pipe, the text as asked with the warning on stderr.
TEST(CliConventions, HtmlOfBinaryBytesWarnsInsteadOfGarblingATerminal) {
  TempDir dir;
  PeWriter writer;
  writer.Add(10, 1, 0x0409, {0x00, 0x01, 0x1B, '[', '2', 'J', 0x07, 'x'});
  writer.Add(10, 2, 0x0409, Bytes("plain\r\ntext\r\n"));
  const std::string module = dir.Write("binary.dll", writer.Build());

  const OrvexRun piped = RunOrvex({"html", module, "10", "#1"});
  EXPECT_EQ(piped.status, 0) << piped.err;
  EXPECT_NE(piped.err.find("orvex: warning: resource 10 #1 is binary"), std::string::npos)
      << piped.err;
  const OrvexRun text = RunOrvex({"html", module, "10", "#2"});
  EXPECT_EQ(text.status, 0);
  EXPECT_EQ(text.err, "");
  EXPECT_EQ(text.out, "plain\ntext\n");

  // The same command with a terminal as its stdout and stderr.
  int terminal = -1;
  const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
  ASSERT_GE(child, 0);
  if (child == 0) {
    execl(kOrvexBinary.c_str(), kOrvexBinary.c_str(), "html", module.c_str(), "10", "#1",
          static_cast<char*>(nullptr));
    _exit(127);
  }
  std::string seen;
  char buffer[256];
  for (ssize_t got; (got = read(terminal, buffer, sizeof buffer)) > 0;) seen.append(buffer, got);
  int status = 0;
  waitpid(child, &status, 0);
  close(terminal);
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_NE(seen.find("not printed to the terminal"), std::string::npos) << seen;
  EXPECT_EQ(seen.find('\x1B'), std::string::npos) << seen;
}

// What bash completes for the words typed so far (the last one being completed), with the
// script that `orvex write-docs` writes.
std::set<std::string> BashCompletes(const std::string& script, const std::string& words) {
  TempDir dir;
  const std::string out = dir.File("completions");
  const std::string command = "bash -c 'source " + script + "; COMP_WORDS=(" + words +
                              "); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _orvex; printf \"%s\\n\" "
                              "\"${COMPREPLY[@]}\"' > " +
                              out;
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  std::set<std::string> completed;
  std::istringstream lines(ReadWholeFile(out));
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty()) completed.insert(line);
  }
  return completed;
}

// The completion scripts and the manual page follow the commands as the program declares
// them: every command, every option, the server's own.
TEST(CliConventions, CompletionAndManualPageCoverEveryCommandAndOption) {
  TempDir dir;
  const OrvexRun write = RunOrvex({"write-docs", dir.Path()});
  ASSERT_EQ(write.status, 0) << write.err;
  const std::set<std::string> commands = ListedCommands(RunOrvex({"help"}).out);
  const std::string bash = dir.File("orvex.bash");

  std::set<std::string> expected = commands;
  expected.insert({"--help", "--version"});
  EXPECT_EQ(BashCompletes(bash, "orvex \"\""), expected);
  EXPECT_EQ(BashCompletes(bash, "orvex ic"), std::set<std::string>{"icons"});
  EXPECT_EQ(BashCompletes(bash, "orvex icons -"),
            (std::set<std::string>{"-h", "--help", "-o", "--out", "--lang"}));
  EXPECT_EQ(BashCompletes(bash, "orvex serve --"),
            (std::set<std::string>{"--help", "--port", "--bind"}));
  EXPECT_EQ(BashCompletes(bash, "orvex help dia"), (std::set<std::string>{"dialog", "dialogs"}));

  const std::string zsh = ReadWholeFile(dir.File("_orvex"));
  EXPECT_EQ(zsh.rfind("#compdef orvex\n", 0), 0u);
  for (const std::string& command : commands) {
    EXPECT_NE(zsh.find("\n    '" + command + ":"), std::string::npos) << command;
    EXPECT_NE(zsh.find("\n    " + command + ")\n"), std::string::npos) << command;
  }
  EXPECT_NE(zsh.find("'--port[The port (default 8080; 0 picks a free one)]:value:_files'"),
            std::string::npos);

  // The page as man shows it: every command's usage and the server's options, and groff has
  // nothing to warn about.
  if (std::system("command -v groff >/dev/null 2>&1") != 0) return;
  const std::string shown = dir.File("shown");
  ASSERT_EQ(std::system(("groff -man -Tascii -P-cbou -ww " + dir.File("orvex.1") + " > " + shown +
                         " 2> " + dir.File("warnings"))
                            .c_str()),
            0);
  EXPECT_EQ(ReadWholeFile(dir.File("warnings")), "");
  const std::string page = ReadWholeFile(shown);
  for (const std::string& command : commands)
    EXPECT_NE(page.find("orvex " + command), std::string::npos) << command;
  for (const char* text :
       {"orvex serve [OPTIONS] [PATH]", "--port", "-o, --out", "EXIT STATUS", "--lang VALUE"})
    EXPECT_NE(page.find(text), std::string::npos) << text;
}

}  // namespace
}  // namespace orvex::test
