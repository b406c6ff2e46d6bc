// Dialogs built by the stand-in against what Wine 8 builds from the same templates with the
// same host (a top window and a child "picture box" at 30,40 of 200×100):
// tests/wine/dialogs/{dialogs,fixture}.c and their expected*.txt.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/module/module.h"
#include "platform/user/dialog.h"
#include "platform/user/window.h"
#include "support/wine_dialogs.h"

namespace orvex {
namespace {

constexpr char kCorpus[] = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows";

struct Host {
  HWND top = 0;
  HWND box = 0;
  Host() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "WineCheckTop";
    RegisterClassA(&wc);
    top = CreateWindowExA(0, "WineCheckTop", "top", WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME, 0,
                          0, 800, 600, 0, 0, 0, nullptr);
    box = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE, 30, 40, 200, 100, top, 0, 0,
                          nullptr);
  }
  ~Host() { DestroyWindow(top); }
};

std::string Format(const char* format, auto... values) {
  char line[256];
  std::snprintf(line, sizeof line, format, values...);
  return line;
}

// The lines the Wine programs print for one dialog, in their format; control lines end
// after the rectangle, with the extended style kept apart.
std::vector<std::string> Describe(HWND dialog, const Host& host,
                                  std::vector<std::string>* exStyles) {
  std::vector<std::string> lines{Format("created %d", dialog != 0)};
  if (!dialog) return lines;
  const auto who = [&](HWND w) {
    return w == host.box ? "box" : w == host.top ? "top" : w ? "other" : "none";
  };
  lines.push_back(
      Format("parent %s owner %s", who(GetParent(dialog)), who(GetWindow(dialog, GW_OWNER))));
  lines.push_back(
      Format("style %08lX exstyle %08lX",
             static_cast<unsigned long>(static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE))),
             static_cast<unsigned long>(static_cast<DWORD>(GetWindowLongA(dialog, GWL_EXSTYLE)))));
  RECT r, c;
  GetWindowRect(dialog, &r);
  GetClientRect(dialog, &c);
  lines.push_back(Format("window %ld x %ld client %ld x %ld", static_cast<long>(r.right - r.left),
                         static_cast<long>(r.bottom - r.top), static_cast<long>(c.right),
                         static_cast<long>(c.bottom)));
  RECT u{0, 0, 4, 8};
  MapDialogRect(dialog, &u);
  lines.push_back(
      Format("base units %ld x %ld", static_cast<long>(u.right), static_cast<long>(u.bottom)));
  for (HWND ch = GetWindow(dialog, GW_CHILD); ch; ch = GetWindow(ch, GW_HWNDNEXT)) {
    char cls[64];
    GetClassNameA(ch, cls, sizeof cls);
    RECT cr;
    GetWindowRect(ch, &cr);
    MapWindowPoints(0, dialog, reinterpret_cast<POINT*>(&cr), 2);
    lines.push_back(
        Format("  %-18s id %6d style %08lX rect %ld %ld %ld %ld", cls, GetDlgCtrlID(ch),
               static_cast<unsigned long>(static_cast<DWORD>(GetWindowLongA(ch, GWL_STYLE))),
               static_cast<long>(cr.left), static_cast<long>(cr.top),
               static_cast<long>(cr.right - cr.left), static_cast<long>(cr.bottom - cr.top)));
    exStyles->push_back(Format(
        "%08lX", static_cast<unsigned long>(static_cast<DWORD>(GetWindowLongA(ch, GWL_EXSTYLE)))));
  }
  return lines;
}

// Wine's lines for the dialog headed "== label", cut to what Describe prints.
std::vector<std::string> Expected(const std::string& file, const std::string& label,
                                  std::vector<std::string>* exStyles) {
  std::vector<std::string> lines;
  for (const std::string& line : test::WineDialogLines(file, label)) {
    for (const char* key : {"created", "parent", "style", "window", "base units"}) {
      if (line.rfind(key, 0) == 0) lines.push_back(line);
    }
    if (line.rfind("  ", 0) == 0 && line.rfind("    ", 0) != 0) {
      const size_t text = line.find(" text ");
      lines.push_back(line.substr(0, text));
      const size_t ex = line.rfind("exstyle ");
      if (ex != std::string::npos) exStyles->push_back(line.substr(ex + 8));
    }
  }
  return lines;
}

void Compare(HMODULE module, const char* name, const std::string& file, const std::string& label) {
  Host host;
  const HWND dialog = CreateDialogParamA(module, name, host.box, nullptr, 0);
  std::vector<std::string> ourEx, wineEx;
  const std::vector<std::string> ours = Describe(dialog, host, &ourEx);
  const std::vector<std::string> wine = Expected(file, label, &wineEx);
  ASSERT_FALSE(wine.empty()) << label;
  EXPECT_EQ(ours, wine) << label;
  if (!wineEx.empty()) {
    EXPECT_EQ(ourEx, wineEx) << label << ": extended styles";
  }
}

TEST(DialogWineTest, FixtureDialogsAreBuiltAsWineBuildsThem) {
  const HMODULE module = LoadLibraryExA(ORVEX_SOURCE_DIR "/tests/fixtures/rc/dialogs.dll", 0, 0);
  ASSERT_NE(module, 0u);
  const struct {
    const char* name;
    const char* label;
  } cases[] = {
      {"#100", "fixture 100 ("}, {"#101", "fixture 101"},  {"NAMED", "fixture NAMED"},
      {"#102", "fixture 102"},   {"#103", "fixture 103"},  {"#104", "fixture 104"},
      {"#105", "fixture 105"},   {"#999", "fixture #999"}, {"999", "fixture 999 "},
  };
  for (const auto& c : cases) Compare(module, c.name, "expected_fixture.txt", c.label);
  FreeLibrary(module);
}

TEST(DialogWineTest, CorpusDialogsAreBuiltAsWineBuildsThem) {
  const struct {
    const char* file;
    const char* name;
    const char* label;
  } cases[] = {{"comdlg32.dll", "#1540", "comdlg32 1540"}, {"aclui.dll", "#100", "aclui 100"}};
  for (const auto& c : cases) {
    const std::string path = std::string(kCorpus) + "/" + c.file;
    if (!std::filesystem::exists(path)) GTEST_SKIP() << path << " is not installed";
    const HMODULE module = LoadLibraryExA(path.c_str(), 0, 0);
    ASSERT_NE(module, 0u);
    Compare(module, c.name, "expected.txt", c.label);
    FreeLibrary(module);
  }
}

TEST(DialogWineTest, ChildTemplateWithoutParentFails) {
  const HMODULE module = LoadLibraryExA(ORVEX_SOURCE_DIR "/tests/fixtures/rc/dialogs.dll", 0, 0);
  ASSERT_NE(module, 0u);
  SetLastError(0);
  EXPECT_EQ(CreateDialogParamA(module, "#100", 0, nullptr, 0), 0u);
  EXPECT_EQ(GetLastError(), ERROR_TLW_WITH_WSCHILD);
  EXPECT_EQ(GetDialogBaseUnits(), (16 << 16) | 7);
  FreeLibrary(module);
}

}  // namespace
}  // namespace orvex
