#include "platform/user/window_metrics.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace orvex {
namespace {

// Every style/extended-style pair the platform was asked about (tests/wine/metrics).
TEST(WindowMetrics, AdjustsLikeThePlatform) {
  std::ifstream in(std::string(ORVEX_SOURCE_DIR) + "/tests/wine/metrics/expected.txt");
  std::string line;
  int rows = 0;
  while (std::getline(in, line)) {
    unsigned style, ex;
    RECT want{};
    if (std::sscanf(line.c_str(), "adjust %x %x %d %d %d %d", &style, &ex, &want.left, &want.top,
                    &want.right, &want.bottom) != 6)
      continue;
    RECT got{0, 0, 0, 0};
    ASSERT_TRUE(AdjustWindowRectEx(&got, style, FALSE, ex));
    EXPECT_EQ(got.left, want.left) << line;
    EXPECT_EQ(got.top, want.top) << line;
    EXPECT_EQ(got.right, want.right) << line;
    EXPECT_EQ(got.bottom, want.bottom) << line;
    ++rows;
  }
  EXPECT_EQ(rows, 40);
}

// The metrics the platform reports, except the screen, which this system fixes.
TEST(WindowMetrics, MatchesThePlatformMetrics) {
  std::ifstream in(std::string(ORVEX_SOURCE_DIR) + "/tests/wine/metrics/expected.txt");
  std::string line;
  while (std::getline(in, line)) {
    char name[40];
    int index, value;
    if (std::sscanf(line.c_str(), "SM_%39s %d %d", name, &index, &value) != 3) continue;
    if (index == SM_CXSCREEN || index == SM_CYSCREEN || index == 92) continue;
    EXPECT_EQ(GetSystemMetrics(index), value) << line;
  }
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
}

}  // namespace
}  // namespace orvex
