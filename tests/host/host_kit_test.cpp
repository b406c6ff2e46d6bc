// The host kit's controls driven by name, as the library drives a host's controls: sizes in
// the container's twips, scale conversions, Move with any numeric arguments, printing.
#include "host/host_kit.h"

#include <gtest/gtest.h>

#include "platform/ole/late_bound.h"
#include "platform/user/window.h"

namespace orvex {
namespace {

class HostKitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterHostKitClasses();
    form_ = CreateObject(u"Orvex10Host.Form");
    box_ = Call(form_.Get(), "AddPictureBox");
  }
  double Number(const Variant& v) {
    Variant d;
    VariantChangeType(&d, &v, 0, VT_R8);
    return d.dblVal;
  }
  ComPtr<IDispatch> form_;
  Variant box_;
};

TEST_F(HostKitTest, MoveAndSizesInTwips) {
  IDispatch* box = box_.pdispVal;
  Variant byRefLeft(150.0);  // passed by reference, as a script host passes a variable
  double width = 480.4;
  LONG top = 300;
  Call(box, "Move",
       {Variant::RefTo(byRefLeft), Variant(top), Variant(width), Variant(int16_t{480})});
  EXPECT_DOUBLE_EQ(Number(GetProperty(box, "Width")), 480);
  EXPECT_DOUBLE_EQ(Number(GetProperty(box, "height")), 480);
  const auto hwnd = static_cast<HWND>(GetProperty(box, "hwnd").lVal);
  RECT r;
  GetWindowRect(hwnd, &r);
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 20);
  PutProperty(box, "width", Variant(150.0));
  GetWindowRect(hwnd, &r);
  EXPECT_EQ(r.right - r.left, 10);
  EXPECT_EQ(GetParent(hwnd), static_cast<HWND>(GetProperty(form_.Get(), "hwnd").lVal));
}

TEST_F(HostKitTest, ScaleConversions) {
  IDispatch* box = box_.pdispVal;
  const struct {
    double value;
    int32_t from, to;
    double expected;
  } cases[] = {{847, 8, 1, 847 * 1440.0 / 2540},
               {847, 8, 3, 847 * 96.0 / 2540},
               {32, 3, 1, 480},
               {1, 5, 6, 25.4},
               {2, 7, 6, 20},
               {20, 1, 2, 1}};
  for (const auto& c : cases) {
    EXPECT_NEAR(Number(Call(box, "ScaleX", {Variant(c.value), Variant(c.from), Variant(c.to)})),
                c.expected, 1e-9);
    EXPECT_NEAR(Number(Call(box, "scaley", {Variant(c.value), Variant(c.from), Variant(c.to)})),
                c.expected, 1e-9);
  }
  EXPECT_THROW(Call(box, "ScaleX", {Variant(1.0), Variant(9), Variant(1)}), RuntimeError);
}

TEST_F(HostKitTest, PrintMovesDownALinePerLineEnd) {
  IDispatch* box = box_.pdispVal;
  PutProperty(box, "CurrentX", Variant(int32_t{100}));
  PutProperty(box, "CurrentY", Variant(int32_t{0}));
  Call(box, "Print", {Variant(u"Image info:\r\n")});
  const double afterHeading = Number(GetProperty(box, "CurrentY"));
  EXPECT_DOUBLE_EQ(Number(GetProperty(box, "CurrentX")), 0);
  Call(box, "Print", {Variant(u"Type: x")});
  const double line = Number(GetProperty(box, "CurrentY")) - afterHeading;
  EXPECT_GT(line, 0);
  EXPECT_DOUBLE_EQ(afterHeading, 2 * line);  // the heading, then an empty line
  EXPECT_EQ(GetProperty(box, "ScaleMode").iVal, 1);
  EXPECT_EQ(GetProperty(box, "BorderStyle").iVal, 0);
}

TEST_F(HostKitTest, TextBoxKeepsItsText) {
  Variant text = Call(form_.Get(), "AddTextBox");
  PutProperty(text.pdispVal, "Text", Variant(u"two\r\nlines"));
  EXPECT_EQ(GetProperty(text.pdispVal, "text").ToString(), u"two\r\nlines");
}

}  // namespace
}  // namespace orvex
