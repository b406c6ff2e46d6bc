// ShowPicture and ShowText through the catalogue's automation interface, driving scripted
// host controls: the member calls in their order, the printed lines, the reports.
#include <gtest/gtest.h>

#include <cmath>

#include "catalogue/catalogue_test_support.h"
#include "platform/ole/oleauto.h"
#include "platform/ole/picture.h"
#include "platform/text/text.h"
#include "support/scripted_object.h"

namespace orvex::test {
namespace {

constexpr char kSource[] = "clsQ7ResfResourceTypesA.ShowPicture";

double Number(const Variant& value) {
  Variant number;
  EXPECT_GE(VariantChangeType(&number, &value, 0, VT_R8), 0);
  return number.dblVal;
}

// A picture of `type` and a size in pixels, HiMetric as the platform gives it.
void MakePicture(ScriptedObject& picture, int16_t type, int pixelsWide, int pixelsHigh) {
  const auto himetric = [](int pixels) {
    return static_cast<int32_t>(std::lround(pixels * 2540.0 / 96.0));
  };
  picture.Constant("Type", Variant(type), DISPID_PICT_TYPE);
  picture.Constant("Width", Variant(himetric(pixelsWide)), DISPID_PICT_WIDTH);
  picture.Constant("Height", Variant(himetric(pixelsHigh)), DISPID_PICT_HEIGHT);
}

// A picture box in a container measuring in twips: the conversions of modes 1, 3 and 8,
// Move keeping the size, the printed lines kept apart.
struct PictureBox {
  ScriptedObject object;
  double width = 1500;
  double height = 900;
  std::vector<std::string> printed;

  PictureBox() {
    const auto scale = [](const std::vector<Variant>& a) {
      const auto perUnit = [](double mode) {  // twips per unit
        return mode == 1 ? 1.0 : mode == 3 ? 15.0 : mode == 8 ? 1440.0 / 2540.0 : NAN;
      };
      return Variant(Number(a[0]) * perUnit(Number(a[1])) / perUnit(Number(a[2])));
    };
    object.Member("ScaleX", scale);
    object.Member("ScaleY", scale);
    object.Member("Move", [this](const std::vector<Variant>& a) {
      width = Number(a[2]);
      height = Number(a[3]);
      return Variant();
    });
    object.Member("width", [this](const std::vector<Variant>&) { return Variant(width); });
    object.Member("height", [this](const std::vector<Variant>&) { return Variant(height); });
    object.Constant("PaintPicture", Variant());
    object.Constant("CurrentX", Variant());
    object.Constant("CurrentY", Variant());
    object.Member("Print", [this](const std::vector<Variant>& a) {
      printed.push_back(Utf16ToUtf8(Text(a[0])));
      return Variant();
    });
  }
};

class DisplayTest : public CatalogueTest {
 protected:
  void SetUp() override {
    CatalogueTest::SetUp();
    catalogue_ = NewCatalogue();
  }
  Variant ShowPicture(IDispatch* picture, IDispatch* box) {
    return Call(catalogue_.Get(), "ShowPicture", {Variant(picture), Variant(box)});
  }
  Variant ShowText(const std::u16string& text, IDispatch* box) {
    return Call(catalogue_.Get(), "ShowText", {Variant(text), Variant(box)});
  }
  ComPtr<IDispatch> catalogue_;
};

TEST_F(DisplayTest, IconIsFittedPaintedAndDescribedInTheMembersOrder) {
  ScriptedObject picture;
  MakePicture(picture, 3, 32, 32);
  PictureBox box;
  EXPECT_EQ(ShowPicture(picture.Get(), box.object.Get()).boolVal, VARIANT_TRUE);
  const std::vector<std::string> expected = {"ScaleX(847, 8, 1)",
                                             "ScaleY(847, 8, 1)",
                                             "Move(0, 0, 480, 480)",
                                             "width",
                                             "ScaleX(847, 8, 1)",
                                             "height",
                                             "ScaleY(847, 8, 1)",
                                             "PaintPicture(obj, 0, 0)",
                                             "CurrentX=0",
                                             "CurrentY=0",
                                             "Print(\"Image info:\r\n\")",
                                             "Print(\"Type: Icon/cursor (*.ico/*.cur)\")",
                                             "ScaleX(847, 8, 3)",
                                             "ScaleY(847, 8, 3)",
                                             "Print(\"Syze: 32 x 32\")"};
  EXPECT_EQ(box.object.Log(), expected);
  EXPECT_EQ(picture.Log(), (std::vector<std::string>{"Width", "Height", "Width", "Height", "Type",
                                                     "Width", "Height"}));
  EXPECT_TRUE(reports_.Reports().empty());

  // The same picture again gives the same calls: nothing of it was released or changed.
  box.object.ClearLog();
  EXPECT_EQ(ShowPicture(picture.Get(), box.object.Get()).boolVal, VARIANT_TRUE);
  EXPECT_EQ(box.object.Log(), expected);
}

TEST_F(DisplayTest, TypeLinesByPictureType) {
  const struct {
    int16_t type;
    const char* line;
  } cases[] = {{0, "Type: None"},
               {1, "Type: Bitmap (*.bmp)"},
               {2, "Type: Metafile (*.wmf)"},
               {3, "Type: Icon/cursor (*.ico/*.cur)"},
               {4, "Type: Enh Metafile (*.emf)"},
               {5, "Type: "},
               {-1, "Type: "}};
  for (const auto& c : cases) {
    ScriptedObject picture;
    MakePicture(picture, c.type, 100, 20);
    PictureBox box;
    ShowPicture(picture.Get(), box.object.Get());
    ASSERT_EQ(box.printed.size(), 3u) << c.type;
    EXPECT_EQ(box.printed[1], c.line);
    EXPECT_EQ(box.printed[2], "Syze: 100 x 20");
  }
}

TEST_F(DisplayTest, CentresOnTheOuterSizeTheControlReports) {
  ScriptedObject picture;
  MakePicture(picture, 1, 10, 10);  // 150 twips
  PictureBox box;
  // A control whose outer size keeps a border: Move is given 150, it reports 180 × 210.
  box.object.Member("Move", [](const std::vector<Variant>&) { return Variant(); });
  box.width = 180;
  box.height = 211;  // halves round first: 211 -> 105
  ShowPicture(picture.Get(), box.object.Get());
  EXPECT_EQ(box.object.Log()[7], "PaintPicture(obj, 15, 30)");
}

TEST_F(DisplayTest, NullPictureIsFalseWithoutCallsOrReports) {
  PictureBox box;
  EXPECT_EQ(ShowPicture(nullptr, box.object.Get()).boolVal, VARIANT_FALSE);
  EXPECT_TRUE(box.object.Log().empty());
  EXPECT_TRUE(reports_.Reports().empty());
}

TEST_F(DisplayTest, MissingMembersAreReportedAndTheRestStillRuns) {
  ScriptedObject picture;
  MakePicture(picture, 3, 32, 32);
  ScriptedObject bare;  // a control with no member but Print
  std::vector<std::string> printed;
  bare.Member("Print", [&](const std::vector<Variant>& a) {
    printed.push_back(Utf16ToUtf8(Text(a[0])));
    return Variant();
  });
  EXPECT_EQ(ShowPicture(picture.Get(), bare.Get()).boolVal, VARIANT_TRUE);
  // ScaleX, ScaleY, Move, the painting step, CurrentX, CurrentY and the size line fail.
  const std::vector<Report> reports = reports_.Reports();
  ASSERT_EQ(reports.size(), 7u);
  for (const Report& r : reports) {
    EXPECT_EQ(r.source, kSource);
    EXPECT_EQ(r.number, 438);
  }
  EXPECT_EQ(printed,
            (std::vector<std::string>{"Image info:\r\n", "Type: Icon/cursor (*.ico/*.cur)"}));
}

TEST_F(DisplayTest, PictureTooLargeForSixteenBitsLeavesOutTheSizeLine) {
  ScriptedObject picture;
  MakePicture(picture, 1, 40000, 20);
  PictureBox box;
  EXPECT_EQ(ShowPicture(picture.Get(), box.object.Get()).boolVal, VARIANT_TRUE);
  EXPECT_EQ(box.printed.size(), 2u);
  EXPECT_EQ(reports_.Reports(), (std::vector<Report>{{kSource, 6}}));
}

TEST_F(DisplayTest, ShowTextLimitsAndNotice) {
  ScriptedObject textBox;
  std::u16string text = u"unchanged";
  textBox.Member("Text", [&](const std::vector<Variant>& a) {
    text = Text(a.back());
    return Variant();
  });
  EXPECT_EQ(ShowText(u"", textBox.Get()).boolVal, VARIANT_FALSE);
  EXPECT_EQ(text, u"unchanged");
  EXPECT_TRUE(textBox.Log().empty());

  const std::u16string longest(65534, u'x');
  EXPECT_EQ(ShowText(longest, textBox.Get()).boolVal, VARIANT_TRUE);
  EXPECT_EQ(text, longest);

  EXPECT_EQ(ShowText(std::u16string(65535, u'x'), textBox.Get()).boolVal, VARIANT_FALSE);
  EXPECT_EQ(text,
            u"Text too long to display it in text box.\r\nSave it as file and view with notepad");
  EXPECT_TRUE(reports_.Reports().empty());
}

TEST_F(DisplayTest, ShowTextReportsAFailedPutAndStillAnswersTrue) {
  ScriptedObject noText;
  EXPECT_EQ(ShowText(u"abc", noText.Get()).boolVal, VARIANT_TRUE);
  EXPECT_EQ(ShowText(std::u16string(65535, u'x'), noText.Get()).boolVal, VARIANT_FALSE);
  EXPECT_EQ(reports_.Reports(), (std::vector<Report>{{"clsQ7ResfResourceTypesA.ShowText", 438},
                                                     {"clsQ7ResfResourceTypesA.ShowText", 438}}));
}

}  // namespace
}  // namespace orvex::test
