// Runs `orvex resources`, the module-layer listing with languages, on the mingw fixture
// and on files that are no modules.
#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"
#include "tools/orvex_run.h"

namespace orvex::test {
namespace {

TEST(ResourcesCommandTest, ListsTheFixtureLineByLine) {
  OrvexRun run = RunOrvex({"resources", kBasicFixture});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
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
  TempDir dir;
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
    OrvexRun run = RunOrvex({"resources", c.path});
    EXPECT_NE(run.status, 0) << c.path;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, c.message);
  }
  EXPECT_NE(RunOrvex({"resources"}).status, 0);  // FILE is required
}

}  // namespace
}  // namespace orvex::test
