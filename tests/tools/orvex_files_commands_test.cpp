// End-to-end runs of orvex save, tmp and about, with the drive folder in a private
// temporary folder (ORVEX_DRIVE_C, inherited by the client).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "pe_writer/pe_writer.h"
#include "support/temp_dir.h"
#include "tools/orvex_run.h"

namespace orvex::test {
namespace {

namespace fs = std::filesystem;

class OrvexFilesCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    drive_ = dir_.File("drive_c");
    setenv("ORVEX_DRIVE_C", drive_.c_str(), 1);
    PeWriter writer;
    writer.Add(10, 1, 0x0409, Bytes(std::string("bytes\0\xFF", 7)));
    writer.Add(u"WAV", u"DING", 0x0409, Bytes("RIFF"));
    module_ = dir_.Write("m.dll", writer.Build());
  }
  void TearDown() override { unsetenv("ORVEX_DRIVE_C"); }

  TempDir dir_;
  std::string drive_;
  std::string module_;
};

TEST_F(OrvexFilesCommandsTest, SaveWritesTheResourceToAPosixOrDrivePath) {
  const std::string out = dir_.File("out.bin");
  OrvexRun run = RunOrvex({"save", module_, "10", "#1", out});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadWholeFile(out), std::string("bytes\0\xFF", 7));

  run = RunOrvex({"save", module_, "wav", "ding", "C:\\Retmpfld\\ding.wav"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadWholeFile(drive_ + "/Retmpfld/ding.wav"), "RIFF");
}

// Modules are named by drive C paths as well as by paths of this system, and a missing
// one on drive C is reported as missing.
TEST_F(OrvexFilesCommandsTest, ModulesAreFoundOnDriveC) {
  fs::create_directories(drive_ + "/Mods");
  fs::copy_file(module_, drive_ + "/Mods/m.dll");
  OrvexRun run = RunOrvex({"data", "C:\\Mods\\m.dll", "wav", "DING"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "RIFF");

  run = RunOrvex({"list", "c:/mods/none.dll"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("no such file"), std::string::npos) << run.err;
  run = RunOrvex({"list", "D:\\m.dll"});
  EXPECT_EQ(run.status, 1);
  EXPECT_FALSE(run.err.empty());
}

TEST_F(OrvexFilesCommandsTest, AFailedSaveFailsAndLeavesFilesAsTheyWere) {
  const std::string out = dir_.File("keep.bin");
  { std::ofstream(out) << "keep"; }
  OrvexRun run = RunOrvex({"save", module_, "10", "#2", out});  // no such resource
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("no resource"), std::string::npos) << run.err;
  EXPECT_EQ(ReadWholeFile(out), "keep");

  run = RunOrvex({"save", module_, "10", "#1", dir_.File("no/folder/x.bin")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "orvex: cannot save to " + dir_.File("no/folder/x.bin") + ": no such folder\n");
}

TEST_F(OrvexFilesCommandsTest, TmpEmptiesOnlyWhenTheAnswerIsYes) {
  ASSERT_EQ(RunOrvex({"tmp"}).status, 0);  // creates the folder
  const std::string folder = drive_ + "/Retmpfld";
  { std::ofstream(folder + "/a.wav") << "a"; }
  { std::ofstream(folder + "/b") << "b"; }

  OrvexRun run = RunOrvex({"tmp", "--empty"});  // stdin is no terminal: nobody to ask
  EXPECT_EQ(run.status, 2);
  EXPECT_TRUE(fs::exists(folder + "/a.wav"));

  run = RunOrvex({"tmp", "--empty", "--yes"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "2 files deleted from " + folder + "\n");
  EXPECT_TRUE(fs::is_empty(folder));
}

TEST_F(OrvexFilesCommandsTest, AboutNamesTheLibraryAndItsVersion) {
  const OrvexRun run = RunOrvex({"about"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "Orvex10 1.0.0\nOrvex10 resource automation library\n");
}

}  // namespace
}  // namespace orvex::test
