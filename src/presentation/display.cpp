// The catalogue's display members: they drive the host's own controls, late-bound by member
// name, so any object with those members serves.
#include <string>

#include "catalogue/cls_q7_resf_resource_types_a.h"
#include "platform/ole/late_bound.h"
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

// The conversions below are the automation runtime's: a number rounds to the nearest whole
// number, a half to the even neighbour, and fails with Err::Overflow outside the type's range
// (Err::TypeMismatch for what is no number).

// Rounds to 32 bits, then divides by 2 toward zero.
int32_t Halve(const Variant& value) {
  return value.ToLong() / 2;
}

Variant PictureProperty(IDispatch* picture, DISPID id) {
  return InvokeById(picture, id, DISPATCH_PROPERTYGET, {});
}

// The control's conversion of a length from one scale mode to another, as it returns it.
Variant Scaled(IDispatch* control, const char* member, const Variant& length, int32_t from,
               int32_t to) {
  return Call(control, member, {length, Variant(from), Variant(to)});
}

}  // namespace

bool clsQ7ResfResourceTypesA::ShowPicture(const ComPtr<IDispatch>& pic,
                                          const ComPtr<IDispatch>& pb) {
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
    width = Scaled(box, "ScaleX", w, kScaleHiMetric, kScaleTwips).ToLong();
  });
  step([&] {
    const Variant h = PictureProperty(picture, DISPID_PICT_HEIGHT);
    needBox();
    height = Scaled(box, "ScaleY", h, kScaleHiMetric, kScaleTwips).ToLong();
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
    const int32_t boxWidth = Halve(GetProperty(box, "width"));
    const int32_t x = boxWidth - Halve(Scaled(box, "ScaleX", w, kScaleHiMetric, kScaleTwips));
    const int32_t boxHeight = Halve(GetProperty(box, "height"));
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
  step([&] { type = PictureProperty(picture, DISPID_PICT_TYPE).ToInteger(); });
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
    const int16_t pixelsWide = Scaled(box, "ScaleX", w, kScaleHiMetric, kScalePixels).ToInteger();
    const Variant h = PictureProperty(picture, DISPID_PICT_HEIGHT);
    const int16_t pixelsHigh = Scaled(box, "ScaleY", h, kScaleHiMetric, kScalePixels).ToInteger();
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
