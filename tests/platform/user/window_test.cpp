// Windows of the stand-in: class registration, parents and owners, geometry on the screen,
// destruction order, text, and painting into a capture.
#include "platform/user/window.h"
#include "platform/user/window_capture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/gdi/gdi.h"

namespace orvex {
namespace {

std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

LRESULT Recording(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY || message == WM_PAINT) {
    char name[32] = {};
    GetWindowTextA(window, name, sizeof name);
    Log().push_back(std::string(message == WM_DESTROY ? "destroy " : "paint ") + name);
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static const bool registered = [] {
      WNDCLASSA c{};
      c.lpfnWndProc = Recording;
      c.hbrBackground = COLOR_WINDOW + 1;
      c.lpszClassName = "TestWindow";
      return RegisterClassA(&c) != 0;
    }();
    ASSERT_TRUE(registered);
    Log().clear();
  }
  static HWND Make(const char* name, DWORD style, int x, int y, int w, int h, HWND parent) {
    return CreateWindowExA(0, "testwindow", name, style, x, y, w, h, parent, 0, 0, nullptr);
  }
};

TEST_F(WindowTest, ParentsOwnersAndScreenGeometry) {
  const HWND top = Make("top", WS_OVERLAPPED | WS_VISIBLE, 100, 50, 400, 300, 0);
  const HWND box = Make("box", WS_CHILD | WS_VISIBLE | WS_BORDER, 30, 40, 200, 100, top);
  const HWND inner = Make("inner", WS_CHILD | WS_VISIBLE, 5, 6, 10, 10, box);
  const HWND popup = Make("popup", WS_POPUP, 0, 0, 50, 50, inner);
  const HWND overlapped = Make("over", WS_OVERLAPPED, 0, 0, 50, 50, box);
  EXPECT_EQ(GetParent(box), top);
  EXPECT_EQ(GetParent(inner), box);
  EXPECT_EQ(GetParent(popup), top);  // owned by the top-level ancestor
  EXPECT_EQ(GetParent(overlapped), 0u);
  EXPECT_EQ(GetWindow(overlapped, GW_OWNER), top);
  RECT r;
  ASSERT_TRUE(GetWindowRect(inner, &r));
  // top (100, 50) + box (30, 40) + box's 1-pixel border + (5, 6)
  EXPECT_EQ(r.left, 136);
  EXPECT_EQ(r.top, 97);
  ASSERT_TRUE(GetClientRect(box, &r));
  EXPECT_EQ(r.right, 198);
  EXPECT_EQ(r.bottom, 98);
  EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", WS_CHILD, 0, 0, 1, 1, top, 0, 0, nullptr), 0u);
  EXPECT_EQ(GetLastError(), ERROR_CANNOT_FIND_WND_CLASS);

  // Owned windows and children go first, the window itself last.
  EXPECT_TRUE(DestroyWindow(top));
  EXPECT_EQ(Log(), (std::vector<std::string>{"destroy popup", "destroy over", "destroy inner",
                                             "destroy box", "destroy top"}));
  for (HWND w : {top, box, inner, popup, overlapped}) EXPECT_FALSE(IsWindow(w));
}

TEST_F(WindowTest, PaintsParentsBeforeChildrenIntoTheCapture) {
  const HWND top = Make("top", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 20, 10, 0);
  Make("a", WS_CHILD | WS_VISIBLE, 0, 0, 5, 5, top);
  Make("hidden", WS_CHILD, 5, 0, 5, 5, top);
  Make("b", WS_CHILD | WS_VISIBLE, 10, 0, 5, 5, top);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 20, 10);
  cairo_t* cr = cairo_create(surface);
  PaintWindowTree(top, cr);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  EXPECT_EQ(Log(), (std::vector<std::string>{"paint top", "paint a", "paint b"}));
  // The class background (COLOR_WINDOW, white) fills the client area.
  EXPECT_EQ(reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(surface))[0], 0xFFFFFFFFu);
  cairo_surface_destroy(surface);
  // The same drawing as SVG.
  const std::string svg = ::testing::TempDir() + "/window.svg";
  ASSERT_TRUE(CaptureWindowToSvg(top, svg.c_str()));
  std::FILE* file = std::fopen(svg.c_str(), "rb");
  ASSERT_NE(file, nullptr);
  char head[64] = {};
  std::fread(head, 1, sizeof head - 1, file);
  std::fclose(file);
  EXPECT_NE(std::string(head).find("<?xml"), std::string::npos);
  DestroyWindow(top);
}

TEST_F(WindowTest, TextAndStyles) {
  const HWND top = Make("caption", WS_OVERLAPPED, 0, 0, 10, 10, 0);
  char text[4] = {};
  EXPECT_EQ(GetWindowTextA(top, text, sizeof text), 3);  // cut to the buffer
  EXPECT_STREQ(text, "cap");
  SetWindowTextA(top, "x");
  EXPECT_EQ(SendMessageA(top, WM_GETTEXTLENGTH, 0, 0), 1);
  EXPECT_FALSE(IsWindowVisible(top));
  EXPECT_FALSE(ShowWindow(top, SW_SHOWNORMAL));
  EXPECT_TRUE(IsWindowVisible(top));
  DestroyWindow(top);
  EXPECT_EQ(GetWindowTextA(top, text, sizeof text), 0);
}

// GetClassInfoA answers for the process's classes and the system's, by name without regard
// to case, and fails for a name nobody registered.
TEST_F(WindowTest, ClassInfoTellsWhichClassesAreRegistered) {
  WNDCLASSA info{};
  ASSERT_TRUE(GetClassInfoA(0, "TESTWINDOW", &info));
  EXPECT_EQ(info.lpfnWndProc, &Recording);
  EXPECT_EQ(info.hbrBackground, static_cast<HBRUSH>(COLOR_WINDOW + 1));
  EXPECT_STREQ(info.lpszClassName, "TESTWINDOW");
  EXPECT_TRUE(GetClassInfoA(0, "button", &info));
  EXPECT_TRUE(GetClassInfoA(0, "#32770", &info));
  SetLastError(0);
  EXPECT_FALSE(GetClassInfoA(0, "ClassInfoProbe", &info));
  EXPECT_EQ(GetLastError(), ERROR_CLASS_DOES_NOT_EXIST);
  WNDCLASSA again{};
  again.lpfnWndProc = Recording;
  again.lpszClassName = "ClassInfoProbe";
  ASSERT_TRUE(RegisterClassA(&again));
  EXPECT_TRUE(GetClassInfoA(0, "classinfoprobe", &info));
}

}  // namespace
}  // namespace orvex
