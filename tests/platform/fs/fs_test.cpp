#include "platform/fs/fs.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "platform/fs/drive_testing.h"
#include "support/temp_dir.h"

namespace orvex {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

Bytes View(const std::string& text) {
  return AsBytes(text.data(), text.size());
}

std::set<std::string> Names(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
  return names;
}

// Every test gets its own drive folder, and a place outside it.
class DriveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    drive_ = temp_.Path() + "/drive_c";
    outside_ = temp_.Path() + "/outside";
    fs::create_directory(outside_);
    SetDriveRootForTesting(drive_);
  }
  void TearDown() override { SetDriveRootForTesting(""); }

  test::TempDir temp_;
  std::string drive_;
  std::string outside_;
};

TEST_F(DriveTest, MapsDriveCPathsAndLeavesPosixPathsAlone) {
  struct Case {
    std::string path;
    std::string mapped;  // "" for a failure; a leading "=" means relative to the drive
  } cases[] = {
      {"C:\\Retmpfld\\", "=/Retmpfld"},
      {"c:/Retmpfld/Shell32_R130.wav", "=/Retmpfld/Shell32_R130.wav"},
      {"C:\\a\\.\\b\\..\\c", "=/a/c"},
      {"C:\\..\\..\\etc\\passwd", "=/etc/passwd"},  // never above the drive's root
      {"C:", "="},
      {"C:file.txt", "=/file.txt"},
      {"\\Retmpfld\\x", "=/Retmpfld/x"},
      {"/tmp/a\\b", "/tmp/a\\b"},  // POSIX paths as given
      {"relative/x", "relative/x"},
      {"D:\\x", ""},
      {"\\\\server\\share\\x", ""},
  };
  for (const Case& c : cases) {
    auto mapped = MapPath(c.path);
    if (c.mapped.empty()) {
      EXPECT_FALSE(mapped) << c.path;
      continue;
    }
    ASSERT_TRUE(mapped) << c.path << ": " << mapped.GetError().message;
    std::string expected = c.mapped[0] == '=' ? drive_ + c.mapped.substr(1) : c.mapped;
    EXPECT_EQ(*mapped, expected) << c.path;
  }
}

TEST_F(DriveTest, DefaultDriveFolderIsPrivateAndFollowsXdgDataHome) {
  SetDriveRootForTesting("");
  const char* saved = std::getenv("XDG_DATA_HOME");
  std::string savedValue = saved ? saved : "";
  std::string env = std::getenv("ORVEX_DRIVE_C") ? std::getenv("ORVEX_DRIVE_C") : "";
  unsetenv("ORVEX_DRIVE_C");
  setenv("XDG_DATA_HOME", (temp_.Path() + "/xdg").c_str(), 1);
  auto root = DriveRoot();
  ASSERT_TRUE(root) << root.GetError().message;
  EXPECT_EQ(*root, temp_.Path() + "/xdg/orvex10/drive_c");
  struct stat st;
  ASSERT_EQ(::stat(root->c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  // A process-wide override by environment, for child processes of tests.
  setenv("ORVEX_DRIVE_C", (temp_.Path() + "/env_drive").c_str(), 1);
  EXPECT_EQ(*MapPath("C:\\x"), temp_.Path() + "/env_drive/x");

  if (saved) {
    setenv("XDG_DATA_HOME", savedValue.c_str(), 1);
  } else {
    unsetenv("XDG_DATA_HOME");
  }
  if (env.empty()) {
    unsetenv("ORVEX_DRIVE_C");
  } else {
    setenv("ORVEX_DRIVE_C", env.c_str(), 1);
  }
}

TEST_F(DriveTest, CreateDirectoryAndAttributes) {
  EXPECT_TRUE(CreateDirectoryA("C:\\Retmpfld\\", nullptr));
  struct stat st;
  ASSERT_EQ(::stat((drive_ + "/Retmpfld").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_FALSE(CreateDirectoryA("C:\\Retmpfld", nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_FALSE(CreateDirectoryA("C:\\missing\\sub", nullptr));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);

  EXPECT_EQ(GetFileAttributesA("C:\\Retmpfld\\"), FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(GetFileAttributesA("C:\\"), FILE_ATTRIBUTE_DIRECTORY);
  WriteFile(drive_ + "/Retmpfld/a.wav", "x");
  EXPECT_EQ(GetFileAttributesA("C:\\Retmpfld\\a.wav"), FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_EQ(GetFileAttributesA("C:\\Retmpfld\\b.wav"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(GetFileAttributesA("C:\\nowhere\\b.wav"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(GetFileAttributesA(outside_.c_str()), FILE_ATTRIBUTE_DIRECTORY);

  EXPECT_FALSE(DeleteFileA("C:\\Retmpfld"));  // a folder is not a file
  EXPECT_TRUE(DeleteFileA("C:\\Retmpfld\\a.wav"));
  EXPECT_FALSE(DeleteFileA("C:\\Retmpfld\\a.wav"));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST(FilePattern, MatchesAsTheDeleteCommandDoes) {
  struct Case {
    const char* name;
    const char* pattern;
    bool match;
  } cases[] = {
      {"Shell32_R130.wav", "*.*", true},
      {"noext", "*.*", true},
      {".hidden", "*.*", true},
      {"a.WAV", "*.wav", true},
      {"a.wavx", "*.wav", false},
      {"a.tmp", "?.tmp", true},
      {"ab.tmp", "?.tmp", false},
      {"README", "readme", true},
      {"x", "*", true},
      {"a.b.c", "*.c", true},
      {"abc", "a*c", true},
      {"ab", "a*c", false},
      {"abc", "abc.*", true},  // "x.*" also stands for "x"
  };
  for (const Case& c : cases)
    EXPECT_EQ(MatchesFilePattern(c.name, c.pattern), c.match) << c.name << " " << c.pattern;
}

TEST_F(DriveTest, DeleteFilesMatchingRemovesFilesButNotFolders) {
  ASSERT_TRUE(CreateDirectoryA("C:\\Retmpfld", nullptr));
  const std::string folder = drive_ + "/Retmpfld";
  for (const char* name : {"a.wav", "B.WAV", "c.tmp", "noext"}) WriteFile(folder + "/" + name, "x");
  fs::create_directory(folder + "/sub.dir");
  WriteFile(outside_ + "/keep.wav", "x");
  fs::create_symlink(outside_ + "/keep.wav", folder + "/link.wav");

  auto wav = DeleteFilesMatching("C:\\Retmpfld\\*.wav");
  ASSERT_TRUE(wav) << wav.GetError().message;
  EXPECT_EQ(*wav, 3u);                              // a.wav, B.WAV and the link itself
  EXPECT_TRUE(fs::exists(outside_ + "/keep.wav"));  // not what the link pointed at

  auto all = DeleteFilesMatching("C:\\Retmpfld\\*.*");
  ASSERT_TRUE(all);
  EXPECT_EQ(*all, 2u);
  EXPECT_EQ(Names(folder), std::set<std::string>{"sub.dir"});

  auto none = DeleteFilesMatching("C:\\Retmpfld\\*.*");
  ASSERT_TRUE(none);
  EXPECT_EQ(*none, 0u);  // the caller decides whether nothing matching is an error
  EXPECT_FALSE(DeleteFilesMatching("C:\\Missing\\*.*"));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST_F(DriveTest, WritesNeverFollowSymbolicLinks) {
  ASSERT_TRUE(CreateDirectoryA("C:\\Retmpfld", nullptr));
  WriteFile(outside_ + "/victim", "precious");
  fs::create_symlink(outside_ + "/victim", drive_ + "/Retmpfld/x.wav");
  fs::create_symlink(outside_, drive_ + "/linked");

  struct Case {
    std::string path;
  } cases[] = {
      {"C:\\Retmpfld\\x.wav"},       // the file itself is a link
      {"C:\\linked\\new.wav"},       // a folder on the way is a link
      {drive_ + "/Retmpfld/x.wav"},  // the same file by its POSIX path
  };
  for (const Case& c : cases) {
    auto file = OpenFileForWriting(c.path);
    EXPECT_FALSE(file) << c.path;
  }
  EXPECT_EQ(GetLastError(), ERROR_CANT_RESOLVE_FILENAME);
  EXPECT_EQ(ReadFile(outside_ + "/victim"), "precious");
  EXPECT_FALSE(fs::exists(outside_ + "/new.wav"));
  EXPECT_FALSE(CreateDirectoryA("C:\\linked\\made", nullptr));
  EXPECT_FALSE(fs::exists(outside_ + "/made"));
  EXPECT_FALSE(DeleteFilesMatching("C:\\linked\\*.*"));
  EXPECT_TRUE(fs::exists(outside_ + "/victim"));
}

TEST_F(DriveTest, OpenForWritingCreatesAndTruncates) {
  const std::string path = drive_ + "/f.bin";
  WriteFile(path, std::string(100, 'o'));
  {
    auto file = OpenFileForWriting("C:\\f.bin");
    ASSERT_TRUE(file) << file.GetError().message;
    ASSERT_TRUE(file->Write(View("0123456789")));
    ASSERT_TRUE(file->Close());
  }
  EXPECT_EQ(ReadFile(path), "0123456789");
  {
    auto file = OpenFileForWriting("C:\\f.bin");
    ASSERT_TRUE(file);
  }
  EXPECT_EQ(ReadFile(path), "");
  EXPECT_FALSE(OpenFileForWriting("C:\\nofolder\\f.bin"));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_FALSE(OpenFileForWriting("C:\\"));
}

TEST_F(DriveTest, AtomicWriteReplacesContentKeepsModeAndLeavesNothingBehind) {
  const std::string path = outside_ + "/save.txt";
  WriteFile(path, std::string(100, 'o'));
  ::chmod(path.c_str(), 0640);
  ASSERT_TRUE(WriteFileAtomically(path, View("new text")));
  EXPECT_EQ(ReadFile(path), "new text");
  struct stat st;
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);

  ASSERT_TRUE(WriteFileAtomically("C:\\fresh.bin", View("")));
  EXPECT_EQ(ReadFile(drive_ + "/fresh.bin"), "");

  // A link at the target is replaced by the file, and what it pointed at is left alone.
  WriteFile(outside_ + "/victim", "precious");
  fs::create_symlink(outside_ + "/victim", outside_ + "/link");
  ASSERT_TRUE(WriteFileAtomically(outside_ + "/link", View("mine")));
  EXPECT_FALSE(fs::is_symlink(outside_ + "/link"));
  EXPECT_EQ(ReadFile(outside_ + "/link"), "mine");
  EXPECT_EQ(ReadFile(outside_ + "/victim"), "precious");

  EXPECT_EQ(Names(outside_), (std::set<std::string>{"save.txt", "victim", "link"}));
  EXPECT_FALSE(WriteFileAtomically(outside_, View("x")));  // a folder
}

TEST_F(DriveTest, AReplacementLeftUncommittedLeavesTheTargetAndNoTemporaryFile) {
  const std::string path = outside_ + "/keep.txt";
  WriteFile(path, "old");
  {
    auto file = ReplacingFile::Open(path);
    ASSERT_TRUE(file);
    ASSERT_TRUE(file->Write(View("half")));
    EXPECT_EQ(ReadFile(path), "old");
  }
  EXPECT_EQ(ReadFile(path), "old");
  EXPECT_EQ(Names(outside_), std::set<std::string>{"keep.txt"});

  auto file = ReplacingFile::Open(path);
  ASSERT_TRUE(file);
  ASSERT_TRUE(file->Write(View("ne")));
  ASSERT_TRUE(file->Write(View("w")));
  ASSERT_TRUE(file->Commit());
  EXPECT_FALSE(file->IsOpen());
  EXPECT_FALSE(file->Write(View("late")));
  EXPECT_EQ(ReadFile(path), "new");

  EXPECT_FALSE(ReplacingFile::Open("C:\\nofolder\\f.bin"));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

}  // namespace
}  // namespace orvex
