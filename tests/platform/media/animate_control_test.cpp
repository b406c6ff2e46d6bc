// The animation control: opening clips from files and resources (and refusing what the
// platform's control refuses), its size at open, and frames stepping on the test clock,
// checked pixel for pixel in the window's drawing against the fixtures' decoded frames.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "media_fixtures.h"
#include "platform/gdi/gdi.h"
#include "platform/media/animate_control.h"
#include "platform/media/stepped_clock.h"
#include "platform/module/module.h"
#include "support/temp_dir.h"
#include "window_pixels.h"

namespace orvex {
namespace {

using namespace std::chrono_literals;
using test::Block;
using test::FixtureFrame;
using test::MediaFixture;

constexpr LPARAM kAllFrames = static_cast<LPARAM>(0xFFFF0000u);  // MAKELONG(0, -1)

LPARAM Range(WORD from, WORD to) {
  return static_cast<LPARAM>(static_cast<uint32_t>(to) << 16 | from);
}

std::vector<std::byte> Truncated(std::vector<std::byte> bytes, size_t size) {
  bytes.resize(size);
  return bytes;
}

class AnimateControl : public ::testing::Test {
 protected:
  void SetUp() override {
    UseSteppedAnimationClock(true);
    parent_ =
        CreateWindowExA(0, "Static", "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, 0, 0, 0, nullptr);
    ASSERT_NE(parent_, 0u);
    raw24_ = Clip("raw24.avi", MediaFixture("raw24.avi"));
    rle8_ = Clip("rle8.avi", MediaFixture("rle8.avi"));
  }
  void TearDown() override {
    DestroyWindow(parent_);
    UseSteppedAnimationClock(false);
  }

  std::string Clip(const char* name, const std::vector<std::byte>& bytes) {
    const std::string path = dir_.File(name);
    test::WriteFile(path, bytes);
    return path;
  }

  HWND Make(DWORD style, int width = 200, int height = 150) {
    return CreateWindowExA(0, "SysAnimate32", "", WS_CHILD | WS_VISIBLE | style, 10, 20, width,
                           height, parent_, 0, 0, nullptr);
  }
  static LRESULT Open(HWND control, const std::string& path) {
    return SendMessageA(control, ACM_OPENA, 0, reinterpret_cast<LPARAM>(path.c_str()));
  }
  static RECT Placement(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    POINT corner{r.left, r.top};
    MapWindowPoints(0, GetParent(control), &corner, 1);
    return {corner.x, corner.y, r.right - r.left, r.bottom - r.top};
  }

  test::TempDir dir_;
  HWND parent_ = 0;
  std::string raw24_;
  std::string rle8_;
  const std::vector<uint32_t> rleFrames_ = test::FixtureWords("rle8.bgra");
};

// Measured under Wine (tests/wine/animate): without ACS_CENTER the control takes the
// frame's size at open and keeps its corner; with it the control keeps its size.
TEST_F(AnimateControl, TakesTheFramesSizeUnlessCentred) {
  struct Case {
    DWORD style;
    RECT placement;  // left, top, width, height
  };
  for (const Case& c : {Case{0, {10, 20, 7, 5}}, Case{ACS_AUTOPLAY, {10, 20, 7, 5}},
                        Case{ACS_CENTER, {10, 20, 200, 150}},
                        Case{ACS_CENTER | ACS_TRANSPARENT | ACS_AUTOPLAY, {10, 20, 200, 150}}}) {
    SCOPED_TRACE(c.style);
    const HWND control = Make(c.style);
    ASSERT_EQ(Open(control, raw24_), TRUE);
    const RECT r = Placement(control);
    EXPECT_EQ(r.left, c.placement.left);
    EXPECT_EQ(r.top, c.placement.top);
    EXPECT_EQ(r.right, c.placement.right);
    EXPECT_EQ(r.bottom, c.placement.bottom);
    // Closing the clip leaves the size as it is.
    EXPECT_EQ(SendMessageA(control, ACM_OPENA, 0, 0), TRUE);
    EXPECT_EQ(Placement(control).right, c.placement.right);
    DestroyWindow(control);
  }
}

TEST_F(AnimateControl, RefusesWhatThePlatformsControlCannotPlay) {
  struct Case {
    const char* name;
    std::vector<std::byte> bytes;
  };
  const Case cases[] = {
      {"audio", test::WithAudioStream(MediaFixture("raw24.avi"))},
      {"video1", MediaFixture("cram.avi")},
      {"cinepak", MediaFixture("cvid.avi")},
      {"wave", MediaFixture("tone16.wav")},
      {"truncated", Truncated(MediaFixture("raw24.avi"), 100)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const HWND control = Make(0);
    EXPECT_EQ(Open(control, Clip(c.name, c.bytes)), FALSE);
    EXPECT_EQ(Placement(control).right, 200);  // not resized
    EXPECT_EQ(SendMessageA(control, ACM_PLAY, static_cast<WPARAM>(-1), kAllFrames), FALSE);
    DestroyWindow(control);
  }
  const HWND control = Make(0);
  EXPECT_EQ(Open(control, dir_.File("missing.avi")), FALSE);
  // A failed open also closes the clip that was open.
  ASSERT_EQ(Open(control, raw24_), TRUE);
  EXPECT_EQ(Open(control, dir_.File("missing.avi")), FALSE);
  EXPECT_EQ(SendMessageA(control, ACM_PLAY, 1, kAllFrames), FALSE);
}

TEST_F(AnimateControl, StepsFramesAtTheClipsRateAndStops) {
  const HWND control = Make(0);
  ASSERT_EQ(Open(control, rle8_), TRUE);
  const auto shown = [&] { return Block(test::WindowPixels(control), 0, 0, 8, 6); };
  const auto frame = [&](int i) { return FixtureFrame(rleFrames_, 8, 6, i); };
  EXPECT_EQ(shown(), frame(0));  // the first frame shows at open
  EXPECT_EQ(SendMessageA(control, ACM_ISPLAYING, 0, 0), FALSE);

  ASSERT_EQ(SendMessageA(control, ACM_PLAY, static_cast<WPARAM>(-1), kAllFrames), TRUE);
  EXPECT_EQ(SendMessageA(control, ACM_ISPLAYING, 0, 0), TRUE);
  StepAnimationClock(99ms);  // 10 frames a second
  EXPECT_EQ(shown(), frame(0));
  StepAnimationClock(1ms);
  EXPECT_EQ(shown(), frame(1));
  StepAnimationClock(100ms);
  EXPECT_EQ(shown(), frame(2));
  StepAnimationClock(100ms);  // until stopped: round again
  EXPECT_EQ(shown(), frame(0));
  StepAnimationClock(250ms);
  EXPECT_EQ(shown(), frame(2));

  EXPECT_EQ(SendMessageA(control, ACM_STOP, 0, 0), TRUE);
  EXPECT_EQ(SendMessageA(control, ACM_ISPLAYING, 0, 0), FALSE);
  StepAnimationClock(1s);
  EXPECT_EQ(shown(), frame(2));  // the frame on show stays
}

TEST_F(AnimateControl, PlaysRangesAndRepeatCounts) {
  const HWND control = Make(0);
  ASSERT_EQ(Open(control, rle8_), TRUE);
  const auto shown = [&] { return Block(test::WindowPixels(control), 0, 0, 8, 6); };
  const auto frame = [&](int i) { return FixtureFrame(rleFrames_, 8, 6, i); };
  struct Case {
    const char* name;
    WPARAM repeats;
    LPARAM range;
    std::vector<int> frames;  // shown at open and after each 100 ms
    bool playingAtEnd;
  };
  const Case cases[] = {
      {"one pass", 1, kAllFrames, {0, 1, 2, 2}, false},
      {"zero counts as one", 0, kAllFrames, {0, 1, 2, 2}, false},
      {"two passes", 2, kAllFrames, {0, 1, 2, 0, 1, 2, 2}, false},
      {"from the middle", 1, Range(1, 2), {1, 2, 2}, false},
      {"loop over two", static_cast<WPARAM>(-1), Range(1, 2), {1, 2, 1, 2, 1}, true},
      {"one frame", static_cast<WPARAM>(-1), Range(2, 2), {2, 2}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(SendMessageA(control, ACM_PLAY, c.repeats, c.range), TRUE);
    for (size_t i = 0; i < c.frames.size(); ++i) {
      if (i) StepAnimationClock(100ms);
      EXPECT_EQ(shown(), frame(c.frames[i])) << "step " << i;
    }
    EXPECT_EQ(SendMessageA(control, ACM_ISPLAYING, 0, 0), c.playingAtEnd ? TRUE : FALSE);
    SendMessageA(control, ACM_STOP, 0, 0);
  }
  // Ranges past the clip's end or backwards are refused (as measured under Wine).
  EXPECT_EQ(SendMessageA(control, ACM_PLAY, 1, Range(5, 9)), FALSE);
  EXPECT_EQ(SendMessageA(control, ACM_PLAY, 1, Range(2, 1)), FALSE);
  EXPECT_EQ(SendMessageA(control, ACM_PLAY, 1, Range(0, 3)), FALSE);
}

TEST_F(AnimateControl, AutoplayCentringAndTransparency) {
  const HWND control = Make(ACS_CENTER | ACS_AUTOPLAY, 20, 16);
  ASSERT_EQ(Open(control, rle8_), TRUE);
  EXPECT_EQ(SendMessageA(control, ACM_ISPLAYING, 0, 0), TRUE);
  StepAnimationClock(100ms);
  const Pixels drawn = test::WindowPixels(control);
  // (20 - 8) / 2, (16 - 6) / 2
  EXPECT_EQ(Block(drawn, 6, 5, 8, 6), FixtureFrame(rleFrames_, 8, 6, 1));
  const COLORREF faceColor = GetSysColor(COLOR_3DFACE);
  const uint32_t face =
      0xFF000000u | (faceColor & 0xFF) << 16 | (faceColor & 0xFF00) | (faceColor >> 16 & 0xFF);
  EXPECT_EQ(drawn.bgra[0], face);  // the background around the frame

  // ACS_TRANSPARENT: pixels of the top-left pixel's colour show the background.
  const HWND clear = Make(ACS_CENTER | ACS_TRANSPARENT, 20, 16);
  ASSERT_EQ(Open(clear, rle8_), TRUE);
  const std::vector<uint32_t> first = FixtureFrame(rleFrames_, 8, 6, 0);
  std::vector<uint32_t> expected = first;
  for (uint32_t& p : expected)
    if (p == first[0]) p = face;
  EXPECT_EQ(Block(test::WindowPixels(clear), 6, 5, 8, 6), expected);
}

TEST_F(AnimateControl, ReadsTheFileWholeAtOpen) {
  const HWND control = Make(0);
  ASSERT_EQ(Open(control, rle8_), TRUE);
  // The file changes and goes after the open; the clip plays on from its own copy.
  test::WriteFile(rle8_, MediaFixture("raw24.avi"));
  std::filesystem::remove(rle8_);
  ASSERT_EQ(SendMessageA(control, ACM_PLAY, 1, kAllFrames), TRUE);
  StepAnimationClock(200ms);
  EXPECT_EQ(Block(test::WindowPixels(control), 0, 0, 8, 6), FixtureFrame(rleFrames_, 8, 6, 2));
}

TEST_F(AnimateControl, DestroyingThePlayingControlStopsItsTimer) {
  const HWND control = Make(ACS_AUTOPLAY);
  ASSERT_EQ(Open(control, rle8_), TRUE);
  DestroyWindow(control);
  StepAnimationClock(1s);  // no timer may reach the destroyed control
  EXPECT_FALSE(IsWindow(control));
}

// Wine's shell32.dll carries clips as "AVI" resources (80 × 50, uncompressed): the module
// in wParam and the resource id in lParam open one.
TEST_F(AnimateControl, OpensAnAviResourceOfAModule) {
  const char* path = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/shell32.dll";
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "no Wine shell32.dll";
  const HMODULE shell32 = LoadLibraryExA(path, 0, 0);
  ASSERT_NE(shell32, 0u);
  const HWND control = Make(0);
  EXPECT_EQ(SendMessageA(control, ACM_OPENA, shell32, static_cast<LPARAM>(150)), TRUE);
  EXPECT_EQ(Placement(control).right, 80);
  EXPECT_EQ(Placement(control).bottom, 50);
  // An id the module does not carry is no file either.
  EXPECT_EQ(SendMessageA(control, ACM_OPENA, shell32, static_cast<LPARAM>(9999)), FALSE);
  // A text that names no resource is a file path.
  EXPECT_EQ(SendMessageA(control, ACM_OPENA, shell32, reinterpret_cast<LPARAM>(rle8_.c_str())),
            TRUE);
  DestroyWindow(control);
  FreeLibrary(shell32);
}

}  // namespace
}  // namespace orvex
