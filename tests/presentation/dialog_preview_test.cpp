// ShowDialog through the catalogue's automation interface, with a host control whose hwnd is
// a real child window of a top-level form: where the preview lands, what Move receives,
// and the failures.
#include <gtest/gtest.h>

#include <string>

#include "catalogue/catalogue_test_support.h"
#include "platform/gdi/gdi.h"
#include "platform/ole/late_bound.h"
#include "platform/text/text.h"
#include "platform/user/window.h"
#include "support/scripted_object.h"

namespace orvex::test {
namespace {

constexpr char kSource[] = "clsQ7ResfResourceTypesA.ShowDialog";
constexpr char kFixture[] = ORVEX_SOURCE_DIR "/tests/fixtures/rc/dialogs.dll";

// A form with a picture-box window at 30,40 of 200 × 100, and the scripted control over it.
struct HostControl {
  HWND form = 0;
  HWND box = 0;
  ScriptedObject object;
  std::vector<std::string> moves;  // Move's arguments as "type:value" texts

  explicit HostControl(bool withHwnd = true, bool withMove = true) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "PreviewTestForm";
    RegisterClassA(&wc);
    form = CreateWindowExA(0, "PreviewTestForm", "", WS_OVERLAPPED, 100, 50, 800, 600, 0, 0, 0,
                           nullptr);
    box = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE, 30, 40, 200, 100, form, 0, 0,
                          nullptr);
    if (withHwnd)
      object.Member("hwnd", [this](const std::vector<Variant>&) {
        return Variant(static_cast<int32_t>(box));
      });
    if (withMove)
      object.Member("Move", [this](const std::vector<Variant>& a) {
        std::string line;
        for (const Variant& v : a) line += Describe(v) + (v.vt == VT_R8 ? "d " : " ");
        moves.push_back(line);
        return Variant();
      });
  }
  ~HostControl() { DestroyWindow(form); }
  // The popup previews the form owns, oldest first.
  std::vector<HWND> OwnedPopups() const {
    struct Search {
      HWND owner;
      std::vector<HWND> found;
    } search{form, {}};
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
          auto* s = reinterpret_cast<Search*>(p);
          if (GetWindow(w, GW_OWNER) == s->owner) s->found.push_back(w);
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return {search.found.rbegin(), search.found.rend()};
  }
};

class DialogPreviewTest : public CatalogueTest {
 protected:
  void SetUp() override {
    CatalogueTest::SetUp();
    catalogue_ = NewCatalogue();
    PutProperty(catalogue_.Get(), "Filename", Variant(AnsiToUnicode(kFixture)));
  }
  bool ShowDialog(const std::u16string& name, IDispatch* control) {
    return Call(catalogue_.Get(), "ShowDialog", {Variant(name), Variant(control)}).boolVal ==
           VARIANT_TRUE;
  }
  ComPtr<IDispatch> catalogue_;
};

RECT ScreenRect(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  return r;
}

TEST_F(DialogPreviewTest, ChildTemplateSitsInTheControlWhichTakesItsSizePlus24Pixels) {
  HostControl host;
  ASSERT_TRUE(ShowDialog(u"#104", host.object.Get()));
  const HWND preview = GetWindow(host.box, GW_CHILD);
  ASSERT_NE(preview, 0u);
  EXPECT_TRUE(GetWindowLongA(preview, GWL_STYLE) & WS_VISIBLE);
  POINT origin{0, 0};
  ClientToScreen(host.box, &origin);
  const RECT r = ScreenRect(preview);
  EXPECT_EQ(r.left, origin.x);
  EXPECT_EQ(r.top, origin.y);
  EXPECT_EQ(r.right - r.left, 186);
  EXPECT_EQ(r.bottom - r.top, 106);
  // Twips in double precision: the width as it is, the height with 24 pixels more.
  EXPECT_EQ(host.moves, (std::vector<std::string>{"0 0 2790d 1950d "}));
  EXPECT_TRUE(reports_.Reports().empty());
}

TEST_F(DialogPreviewTest, PopupTemplateSitsOverTheControlWhichKeepsItsSize) {
  HostControl host;
  ASSERT_TRUE(ShowDialog(u"NAMED", host.object.Get()));
  EXPECT_EQ(GetWindow(host.box, GW_CHILD), 0u);
  const std::vector<HWND> popups = host.OwnedPopups();
  ASSERT_EQ(popups.size(), 1u);
  EXPECT_EQ(GetParent(popups[0]), host.form);
  const RECT r = ScreenRect(popups[0]), box = ScreenRect(host.box);
  EXPECT_EQ(r.left, box.left);
  EXPECT_EQ(r.top, box.top);
  EXPECT_EQ(r.right - r.left, 323);
  EXPECT_EQ(r.bottom - r.top, 207);
  EXPECT_TRUE(host.moves.empty());
  EXPECT_TRUE(IsWindowVisible(popups[0]));
}

TEST_F(DialogPreviewTest, TemplatesTheModuleDoesNotHoldMakeNoWindowAndNoReport) {
  HostControl host;
  // "104" is looked up as a name, and the module's dialogs 100-105 carry numbers.
  for (const char16_t* name : {u"#999", u"104", u"", u"#"}) {
    EXPECT_FALSE(ShowDialog(name, host.object.Get())) << Utf16ToUtf8(name);
  }
  // A template naming a class nobody registered cannot be built.
  EXPECT_FALSE(ShowDialog(u"#102", host.object.Get()));
  EXPECT_EQ(GetWindow(host.box, GW_CHILD), 0u);
  EXPECT_TRUE(host.OwnedPopups().empty());
  EXPECT_TRUE(host.moves.empty());
  EXPECT_TRUE(reports_.Reports().empty());
}

TEST_F(DialogPreviewTest, TwoCallsLeaveTwoPreviews) {
  HostControl host;
  ASSERT_TRUE(ShowDialog(u"#104", host.object.Get()));
  const HWND first = GetWindow(host.box, GW_CHILD);
  ASSERT_TRUE(ShowDialog(u"#104", host.object.Get()));
  EXPECT_TRUE(IsWindow(first));
  EXPECT_NE(GetWindow(first, GW_HWNDNEXT), 0u);
  ASSERT_TRUE(ShowDialog(u"#101", host.object.Get()));
  ASSERT_TRUE(ShowDialog(u"#101", host.object.Get()));
  EXPECT_EQ(host.OwnedPopups().size(), 2u);
}

TEST_F(DialogPreviewTest, MissingControlMembersAreReported) {
  {
    HostControl noHwnd(false, true);
    EXPECT_FALSE(ShowDialog(u"#104", noHwnd.object.Get()));
    EXPECT_EQ(GetWindow(noHwnd.box, GW_CHILD), 0u);
    EXPECT_EQ(reports_.Reports(), (std::vector<Report>{{kSource, 438}}));
  }
  reports_.Clear();
  {
    // Once the window exists, a failing Move is reported and the preview is still shown.
    HostControl noMove(true, false);
    EXPECT_TRUE(ShowDialog(u"#104", noMove.object.Get()));
    const HWND preview = GetWindow(noMove.box, GW_CHILD);
    ASSERT_NE(preview, 0u);
    EXPECT_TRUE(GetWindowLongA(preview, GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(reports_.Reports(), (std::vector<Report>{{kSource, 438}}));
  }
  reports_.Clear();
  // No control at all: "Object variable not set".
  EXPECT_FALSE(ShowDialog(u"#104", nullptr));
  EXPECT_EQ(reports_.Reports(), (std::vector<Report>{{kSource, 91}}));
}

}  // namespace
}  // namespace orvex::test
