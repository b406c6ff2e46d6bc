// The catalogue's display members: they drive the host's own controls, late-bound by member
// name, so any object with those members serves.
#include <cmath>
#include <string>

#include "catalogue/cls_q7_resf_resource_types_a.h"
#include "platform/ole/late_bound.h"
#include "platform/ole/oleauto.h"
#include "platform/ole/picture.h"
#include "server/frame/bas_q7el_common_a.h"

namespace orvex {
namespace {

// Scale modes of the controls' conversion members.
constexpr int32_t kScaleTwips = 1;
constexpr int32_t kScalePixels = 3;
constexpr int32_t kScaleHiMetric = 8;

// The texts printed for a picture's type (PICTYPE 0 to 4); other types print nothing.
constexpr const char16_t* kPictureTypeNames[] = {
    u"None",
    u"Bitmap (*.bmp)",
    u"Metafile (*.wmf)",
    u"Icon/cursor (*.ico/*.cur)",
    u"Enh Metafile (*.emf)",
};

constexpr char16_t kTextTooLong[] =
    u"Text too long to display it in text box.\r\nSave it as file and view with notepad";
// The longest text a text box is given.
constexpr size_t kMaxTextBoxLength = 0xFFFE;

double NumberOf(const VARIANT& value) {
  Variant number;
  const HRESULT hr = VariantChangeType(&number, &value, 0, VT_R8);
  if (hr == DISP_E_OVERFLOW) throw RuntimeError(Err::Overflow);
  if (hr < 0) throw RuntimeError(Err::TypeMismatch);
  return number.dblVal;
}

// Rounding to the nearest whole number, a half to the even neighbour, within a range.
double RoundedWithin(double value, double low, double high) {
  const double rounded = std::nearbyint(value);
  if (!(rounded >= low && rounded <= high)) throw RuntimeError(Err::Overflow);
  return rounded;
}
int32_t Round32(double value) {
  return static_cast<int32_t>(RoundedWithin(value, -2147483648.0, 2147483647.0));
}
int16_t Round16(double value) {
  return static_cast<int16_t>(RoundedWithin(value, -32768, 32767));
}
// Rounds, then divides by 2 toward zero.
int32_t Halve(double value) {
  return Round32(value) / 2;
}

Variant PictureProperty(IDispatch* picture, DISPID id) {
  return InvokeById(picture, id, DISPATCH_PROPERTYGET, {});
}

double Scaled(IDispatch* control, const char* member, const Variant& length, int32_t from,
              int32_t to) {
  return NumberOf(Call(control, member, {length, Variant(from), Variant(to)}));
}

}  // namespace

bool clsQ7ResfResourceTypesA::ShowPicture(ComPtr<IDispatch> pic, ComPtr<IDispatch> pb) {
  if (!pic) return false;
  StepRunner step = ReportingSteps("ShowPicture");
  IDispatch* picture = pic.Get();
  IDispatch* box = pb.Get();
  const auto needBox = [box] {
    if (!box) throw RuntimeError(Err::ObjectVariableNotSet);
  };
  int32_t width = 0;
  int32_t height = 0;
  step([&] {
    const Variant w = PictureProperty(picture, DISPID_PICT_WIDTH);
    needBox();
    width = Round32(Scaled(box, "ScaleX", w, kScaleHiMetric, kScaleTwips));
  });
  step([&] {
    const Variant h = PictureProperty(picture, DISPID_PICT_HEIGHT);
    needBox();
    height = Round32(Scaled(box, "ScaleY", h, kScaleHiMetric, kScaleTwips));
  });
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  step([&] {
    needBox();
    Call(box, "Move", {Variant(int32_t{0}), Variant(int32_t{0}), Variant(width), Variant(height)});
  });
  step([&] {
    const Variant w = PictureProperty(picture, DISPID_PICT_WIDTH);
    const Variant h = PictureProperty(picture, DISPID_PICT_HEIGHT);
    needBox();
    const int32_t boxWidth = Halve(NumberOf(GetProperty(box, "width")));
    const int32_t x = boxWidth - Halve(Scaled(box, "ScaleX", w, kScaleHiMetric, kScaleTwips));
    const int32_t boxHeight = Halve(NumberOf(GetProperty(box, "height")));
    const int32_t y = boxHeight - Halve(Scaled(box, "ScaleY", h, kScaleHiMetric, kScaleTwips));
    Call(box, "PaintPicture", {Variant(picture), Variant(x), Variant(y)});
  });
  step([&] {
    needBox();
    PutProperty(box, "CurrentX", Variant(int32_t{0}));
  });
  step([&] {
    needBox();
    PutProperty(box, "CurrentY", Variant(int32_t{0}));
  });
  step([&] {
    needBox();
    Call(box, "Print", {Variant(u"Image info:\r\n")});
  });
  int16_t type = 0;
  step([&] { type = Round16(NumberOf(PictureProperty(picture, DISPID_PICT_TYPE))); });
  step([&] {
    const std::u16string name =
        type >= 0 && type < static_cast<int16_t>(std::size(kPictureTypeNames))
            ? kPictureTypeNames[type]
            : u"";
    needBox();
    Call(box, "Print", {Variant(u"Type: " + name)});
  });
  step([&] {
    const Variant w = PictureProperty(picture, DISPID_PICT_WIDTH);
    needBox();
    const int16_t pixelsWide = Round16(Scaled(box, "ScaleX", w, kScaleHiMetric, kScalePixels));
    const Variant h = PictureProperty(picture, DISPID_PICT_HEIGHT);
    const int16_t pixelsHigh = Round16(Scaled(box, "ScaleY", h, kScaleHiMetric, kScalePixels));
    const std::string line =
        "Syze: " + std::to_string(pixelsWide) + " x " + std::to_string(pixelsHigh);
    Call(box, "Print", {Variant(std::u16string(line.begin(), line.end()))});
  });
  return true;
}

bool clsQ7ResfResourceTypesA::ShowText(std::u16string_view sText, ComPtr<IDispatch> txt) {
  if (sText.empty()) return false;
  StepRunner step = ReportingSteps("ShowText");
  const auto needBox = [&txt] {
    if (!txt) throw RuntimeError(Err::ObjectVariableNotSet);
  };
  if (sText.size() > kMaxTextBoxLength) {
    step([&] {
      needBox();
      PutProperty(txt.Get(), "Text", Variant(kTextTooLong));
    });
    return false;
  }
  step([&] {
    needBox();
    PutProperty(txt.Get(), "Text", Variant(sText));
  });
  return true;
}

}  // namespace orvex
