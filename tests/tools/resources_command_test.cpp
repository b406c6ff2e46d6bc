// Runs `orvex resources` on the mingw fixture and on files that are no modules.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

#include "support/temp_dir.h"

namespace orvex {
namespace {

struct CliRun {
  std::string out;
  int status = -1;
};

// Runs the client with stderr folded into stdout.
CliRun RunCli(const std::string& arguments) {
  std::string command = std::string(ORVEX_CLI) + " " + arguments + " 2>&1";
  CliRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  std::array<char, 4096> buffer;
  size_t got = 0;
  while ((got = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
    run.out.append(buffer.data(), got);
  int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

TEST(ResourcesCommandTest, ListsTheFixtureLineByLine) {
  CliRun run = RunCli("resources " ORVEX_SOURCE_DIR "/tests/fixtures/rc/basic.dll");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "TYPE             NAME                     LANG       SIZE\n"
            "MYDATA           ALPHA                    0409          5\n"
            "MYDATA           ZETA                     0409          4\n"
            "MYDATA           #300                     0409         13\n"
            "TEXT             GREETING                 0407         11\n"
            "TEXT             GREETING                 0409         12\n"
            "TEXT             GREETING                 040C         17\n"
            "TEXT             NEUTRAL                  0000          7\n"
            "TEXT             #7                       0409         13\n"
            "#4               MAINMENU                 0409         34\n"
            "#6               #1                       0409         82\n"
            "#6               #2                       0409         50\n"
            "#10              CONFIG                   0409         10\n"
            "#10              #1                       0409         12\n"
            "#10              #42                      0409          5\n"
            "#16              #1                       0409        348\n");
}

TEST(ResourcesCommandTest, FailsWithOneMessageOnFilesThatAreNoModules) {
  test::TempDir dir;
  std::string text = dir.Write("notes.txt", {'h', 'e', 'l', 'l', 'o'});
  struct Case {
    std::string path;
    std::string message;
  } cases[] = {
      {text, "orvex: cannot load " + text + ": not a PE module (EXE, DLL or other PE file)\n"},
      {dir.File("missing.dll"),
       "orvex: cannot load " + dir.File("missing.dll") + ": no such file\n"},
  };
  for (const Case& c : cases) {
    CliRun run = RunCli("resources " + c.path);
    EXPECT_NE(run.status, 0) << c.path;
    EXPECT_EQ(run.out, c.message);
  }
  EXPECT_NE(RunCli("resources").status, 0);  // FILE is required
}

}  // namespace
}  // namespace orvex
