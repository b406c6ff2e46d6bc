// MCI string commands with the avivideo device: a sequence of commands with the replies
// and error numbers measured under Wine (tests/wine/animate), the device's window and its
// frames on the test clock, and the record of every command text.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "media_fixtures.h"
#include "platform/fs/drive_testing.h"
#include "platform/media/mci.h"
#include "platform/media/stepped_clock.h"
#include "support/temp_dir.h"
#include "window_pixels.h"

namespace orvex {
namespace {

using namespace std::chrono_literals;
using test::MediaFixture;

struct Step {
  std::string command;  // "$RAW", "$RLE", "$MISSING", "$PARENT" are replaced
  MCIERROR error;
  std::optional<std::string> reply;  // not checked when absent
  UINT length = 128;
};

class Mci : public ::testing::Test {
 protected:
  void SetUp() override {
    UseSteppedAnimationClock(true);
    parent_ =
        CreateWindowExA(0, "Static", "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, 0, 0, 0, nullptr);
    test::WriteFile(dir_.File("raw24.avi"), MediaFixture("raw24.avi"));
    test::WriteFile(dir_.File("rle8.avi"), MediaFixture("rle8.avi"));
    test::WriteFile(dir_.File("broken.avi"), test::WithCodec(MediaFixture("raw24.avi"), "QQQQ"));
    SetMciCommandRecorderForTesting([this](std::string_view c) { recorded_.emplace_back(c); });
  }
  void TearDown() override {
    SetMciCommandRecorderForTesting(nullptr);
    mciSendStringA("close video", nullptr, 0, 0);
    mciSendStringA("close clip", nullptr, 0, 0);
    DestroyWindow(parent_);
    UseSteppedAnimationClock(false);
  }

  std::string Expand(std::string text) const {
    const std::pair<std::string, std::string> names[] = {
        {"$RAW", dir_.File("raw24.avi")},     {"$RLE", dir_.File("rle8.avi")},
        {"$BROKEN", dir_.File("broken.avi")}, {"$MISSING", dir_.File("missing.avi")},
        {"$PARENT", std::to_string(parent_)},
    };
    for (const auto& [from, to] : names)
      for (size_t at; (at = text.find(from)) != std::string::npos;)
        text.replace(at, from.size(), to);
    return text;
  }

  void Run(const std::vector<Step>& steps) {
    for (const Step& step : steps) {
      const std::string command = Expand(step.command);
      SCOPED_TRACE(command);
      char reply[128];
      std::memset(reply, 'x', sizeof reply);
      EXPECT_EQ(mciSendStringA(command.c_str(), reply, step.length, 0), step.error);
      if (step.reply) {
        EXPECT_EQ(std::string(reply), *step.reply);
      }
    }
  }

  HWND VideoWindow() const {
    char reply[32] = {};
    mciSendStringA("status video window handle", reply, sizeof reply, 0);
    return static_cast<HWND>(std::stoul(reply));
  }

  test::TempDir dir_;
  HWND parent_ = 0;
  std::vector<std::string> recorded_;
};

TEST_F(Mci, CommandsRepliesAndErrors) {
  Run({
      {"open $RAW Type avivideo Alias video parent $PARENT Style child", 0, std::nullopt},
      {"open $RAW Type avivideo Alias video parent $PARENT Style child", MCIERR_DUPLICATE_ALIAS,
       ""},
      {"open $RAW type avivideo alias VIDEO", MCIERR_DUPLICATE_ALIAS, ""},  // any case
      {"Where video destination", 0, "0 0 7 5"},
      {"where video destination", 0, "0 0 ", 5},  // cut to the buffer
      {"where video source", 0, "0 0 7 5"},
      {"where video window", 0, "0 0 7 5"},
      {"status video mode", 0, "stopped"},
      {"status video length", 0, "3"},
      {"status video position", 0, "0"},
      {"put video window at 3 4 70 50", 0, ""},
      {"where video window", 0, "3 4 70 50"},
      {"where video destination", 0, "0 0 7 5"},  // the destination stays
      {"put video window at -1 -2 30 40", 0, ""},
      {"where video window", 0, "-1 -2 30 40"},
      {"play video repeat", 0, ""},
      {"status video mode", 0, "playing"},
      {"stop video", 0, ""},
      {"status video mode", 0, "stopped"},
      {"PLAY VIDEO REPEAT", 0, ""},
      {"STOP VIDEO", 0, ""},
      {"play video from 1 to 2 wait", 0, ""},
      {"play video from 2 to 1", MCIERR_OUTOFRANGE, ""},
      {"play video to 3", MCIERR_OUTOFRANGE, ""},
      {"seek video to end", 0, ""},
      {"status video position", 0, "2"},
      {"put video window at 1 2", MCIERR_BAD_INTEGER, ""},
      {"put video window at a b c d", MCIERR_BAD_INTEGER, ""},
      {"put video window at 1 2 3 4 5", MCIERR_UNRECOGNIZED_COMMAND, ""},
      {"where video", MCIERR_MISSING_PARAMETER, ""},
      {"where video nonsense", MCIERR_UNRECOGNIZED_COMMAND, ""},
      {"play video nonsense", MCIERR_UNRECOGNIZED_COMMAND, ""},
      {"status video", MCIERR_MISSING_PARAMETER, ""},
      {"status video nonsense", MCIERR_UNRECOGNIZED_COMMAND, ""},
      {"frobnicate video", MCIERR_UNRECOGNIZED_COMMAND, ""},
      {"set video time format frames", MCIERR_UNSUPPORTED_FUNCTION, ""},
      // Names that are not open: each verb as the platform answers it.
      {"where other destination", MCIERR_UNRECOGNIZED_COMMAND, ""},
      {"put other window at 1 2 3 4", MCIERR_UNRECOGNIZED_COMMAND, ""},
      {"status other mode", MCIERR_EXTENSION_NOT_FOUND, ""},
      {"play other", MCIERR_EXTENSION_NOT_FOUND, ""},
      {"stop other", MCIERR_EXTENSION_NOT_FOUND, ""},
      {"close other", MCIERR_INVALID_DEVICE_NAME, ""},
      {"sysinfo other", MCIERR_UNRECOGNIZED_KEYWORD, ""},
      {"close video", 0, ""},
      {"close video", MCIERR_INVALID_DEVICE_NAME, ""},
      {"open $RAW type avivideo alias one", 0, std::nullopt},
      {"open $RAW type avivideo alias two", 0, std::nullopt},
      {"close all", 0, ""},
      {"status one mode", MCIERR_EXTENSION_NOT_FOUND, ""},
      {"close two", MCIERR_INVALID_DEVICE_NAME, ""},
      // Opening.
      {"open $MISSING type avivideo alias video parent $PARENT style child", MCIERR_FILE_NOT_FOUND,
       ""},
      {"open $BROKEN type avivideo alias video", MCIERR_CANNOT_LOAD_DRIVER, ""},
      {"open $RAW type avivideo alias video parent 12345 style child", MCIERR_CREATEWINDOW, ""},
      {"open $RAW type avivideo alias video parent x style child", MCIERR_BAD_INTEGER, ""},
      {"open $RAW type waveaudio alias video", MCIERR_INVALID_DEVICE_NAME, ""},
      {"open $RAW type avivideo alias", MCIERR_MISSING_STRING_ARGUMENT, ""},
      {"open $RAW type avivideo alias video bogus", MCIERR_UNRECOGNIZED_COMMAND, ""},
      {"open type avivideo alias x", MCIERR_EXTENSION_NOT_FOUND, ""},
      {"open \"$RAW type avivideo", MCIERR_NO_CLOSING_QUOTE, ""},
      {"open", MCIERR_MISSING_DEVICE_NAME, ""},
      {"", MCIERR_MISSING_COMMAND_STRING, ""},
      // Without a type the extension names the device; the file is the default alias.
      {"open \"$RLE\" alias clip", 0, std::nullopt},
      {"where clip destination", 0, "0 0 8 6"},
      {"close clip", 0, ""},
  });
  // Every command text reached the recorder, in order.
  ASSERT_GE(recorded_.size(), 3u);
  EXPECT_EQ(recorded_[0], Expand("open $RAW Type avivideo Alias video parent $PARENT Style child"));
  EXPECT_EQ(recorded_[3], "Where video destination");
  EXPECT_EQ(recorded_.back(), "close clip");
}

TEST_F(Mci, TheVideoWindowIsAChildOfTheParentShowingTheFrameOnTheClock) {
  Run({{"open $RLE type avivideo alias video parent $PARENT style child", 0, std::nullopt}});
  const HWND video = VideoWindow();
  ASSERT_TRUE(IsWindow(video));
  EXPECT_EQ(GetParent(video), parent_);
  char name[32] = {};
  GetClassNameA(video, name, sizeof name);
  EXPECT_STREQ(name, "AVIWnd32");
  EXPECT_FALSE(IsWindowVisible(video));  // shown when it plays
  Run({{"put video window at 5 6 8 6", 0, ""}, {"play video repeat", 0, ""}});
  EXPECT_TRUE(IsWindowVisible(video));
  const std::vector<uint32_t> frames = test::FixtureWords("rle8.bgra");
  EXPECT_EQ(test::WindowPixels(video).bgra, test::FixtureFrame(frames, 8, 6, 0));
  StepAnimationClock(100ms);
  EXPECT_EQ(test::WindowPixels(video).bgra, test::FixtureFrame(frames, 8, 6, 1));
  Run({{"status video position", 0, "1"}, {"stop video", 0, ""}});
  StepAnimationClock(300ms);
  EXPECT_EQ(test::WindowPixels(video).bgra, test::FixtureFrame(frames, 8, 6, 1));
  // The destination rectangle scales the frame within the window.
  Run({{"put video destination at 0 0 16 12", 0, ""},
       {"put video window at 0 0 16 12", 0, ""},
       {"where video destination", 0, "0 0 16 12"}});
  const Pixels big = test::WindowPixels(video);
  EXPECT_EQ(big.bgra[0], test::FixtureFrame(frames, 8, 6, 1)[0]);
  EXPECT_EQ(test::Block(big, 14, 10, 2, 2),
            std::vector<uint32_t>(4, test::FixtureFrame(frames, 8, 6, 1)[8 * 6 - 1]));
  // Closing the device takes its window away.
  Run({{"close video", 0, ""}});
  EXPECT_FALSE(IsWindow(video));
}

// The device plays the compressed clips the animation control refuses: MS Video-1 and
// Cinepak, frame by frame as ffmpeg decodes them.
TEST_F(Mci, PlaysVideo1AndCinepakClips) {
  for (const char* name : {"cram", "cvid"}) {
    SCOPED_TRACE(name);
    const std::string path = dir_.File(std::string(name) + ".avi");
    test::WriteFile(path, MediaFixture(std::string(name) + ".avi"));
    const std::vector<uint32_t> frames = test::FixtureWords(std::string(name) + ".bgra");
    Run({{"open " + path + " type avivideo alias clip parent $PARENT style child", 0, std::nullopt},
         {"status clip length", 0, "3"},
         {"put clip window at 0 0 16 12", 0, ""},
         {"play clip", 0, ""}});
    char handle[32] = {};
    ASSERT_EQ(mciSendStringA("status clip window handle", handle, sizeof handle, 0), 0u);
    const auto video = static_cast<HWND>(std::stoul(handle));
    for (int frame = 0; frame < 3; ++frame) {
      EXPECT_EQ(test::WindowPixels(video).bgra, test::FixtureFrame(frames, 16, 12, frame))
          << "frame " << frame;
      StepAnimationClock(100ms);
    }
    Run({{"close clip", 0, ""}});
  }
}

// The library's sequence: a clip written under the drive folder with a ".wav" name, opened
// by an unquoted drive path with the type named, its size asked, placed and played.
TEST_F(Mci, ADrivePathWithTheTypeNamed) {
  SetDriveRootForTesting(dir_.Path());
  std::filesystem::create_directories(dir_.File("Retmpfld"));
  test::WriteFile(dir_.File("Retmpfld/Shell32_R160.wav"), MediaFixture("rle8.avi"));
  Run({
      {"open C:\\Retmpfld\\Shell32_R160.wav Type avivideo Alias video parent $PARENT Style child",
       0, std::nullopt},
      {"Where video destination", 0, "0 0 8 6", 127},
      {"put video window at 0 0 8 6", 0, ""},
      {"play video repeat", 0, ""},
      {"status video mode", 0, "playing"},
      // A path with a space, unquoted: the open reads the second part as a keyword.
      {"open C:\\Retmpfld\\My Module_R160.wav Type avivideo Alias clip",
       MCIERR_UNRECOGNIZED_COMMAND, ""},
  });
  SetDriveRootForTesting("");
}

TEST(MciErrorText, TheTextsOfThePlatform) {
  struct Case {
    MCIERROR error;
    const char* text;
  };
  const Case cases[] = {
      {MCIERR_DUPLICATE_ALIAS,
       "The specified alias is already being used in this application. Use a unique alias."},
      {MCIERR_FILE_NOT_FOUND,
       "Cannot find the specified file. Make sure the path and filename are correct."},
      {MCIERR_BAD_INTEGER, "The specified integer is invalid for this command."},
      {MCIERR_INVALID_DEVICE_NAME, "The specified device is not open or is not recognized by MCI."},
      {MCIERR_CREATEWINDOW, "Could not create or use window."},
  };
  for (const Case& c : cases) {
    char text[256];
    EXPECT_TRUE(mciGetErrorStringA(c.error, text, sizeof text));
    EXPECT_STREQ(text, c.text);
  }
  char shortText[8];
  EXPECT_TRUE(mciGetErrorStringA(MCIERR_BAD_INTEGER, shortText, sizeof shortText));
  EXPECT_STREQ(shortText, "The spe");
  EXPECT_FALSE(mciGetErrorStringA(5, shortText, sizeof shortText));
}

}  // namespace
}  // namespace orvex
