// The host kit's PictureBox: pictures and printed lines kept and painted on WM_PAINT, with
// its scale modes.
#include "host/host_controls.h"

#include <cmath>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/ole/picture.h"
#include "platform/text/text.h"
#include "platform/user/window.h"

namespace orvex::host_kit {
namespace {

namespace T = types;

class PictureBox final : public Dispatchable {
 public:
  using Dispatchable::Dispatchable;
  ~PictureBox() override {
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
  }

  void Create(HWND parent) {
    hwnd_ = CreateWindowExA(0, kPictureBoxClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, parent,
                            0, 0, nullptr);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }

  int32_t hwnd() { return static_cast<int32_t>(hwnd_); }
  void Move(const VARIANT& left, const VARIANT& top, const VARIANT& width, const VARIANT& height) {
    const RECT rect = PlacedRect(hwnd_);
    const int x = Pixels(Number(left));
    const int y = Missing(top) ? rect.top : Pixels(Number(top));
    const int w = Missing(width) ? rect.right - rect.left : Pixels(Number(width));
    const int h = Missing(height) ? rect.bottom - rect.top : Pixels(Number(height));
    if (w < 0 || h < 0) throw RuntimeError(Err::InvalidProcedureCall);
    MoveWindow(hwnd_, x, y, w, h, TRUE);
  }
  double width() { return OuterTwips(hwnd_, false); }
  void Letwidth(double value) { Resize(hwnd_, value, false); }
  double height() { return OuterTwips(hwnd_, true); }
  void Letheight(double value) { Resize(hwnd_, value, true); }
  double ScaleX(double value, int32_t from, int32_t to) {
    return value * TwipsPer(from, false) / TwipsPer(to, false);
  }
  double ScaleY(double value, int32_t from, int32_t to) {
    return value * TwipsPer(from, true) / TwipsPer(to, true);
  }
  void PaintPicture(const ComPtr<IDispatch>& picture, double x, double y, const VARIANT& width,
                    const VARIANT& height) {
    if (!picture) throw RuntimeError(Err::InvalidPicture);
    void* raw = nullptr;
    if (picture->QueryInterface(IID_IPicture, &raw) < 0 || !raw) {
      throw RuntimeError(Err::InvalidPicture);
    }
    auto pic = ComPtr<IPicture>::Attach(static_cast<IPicture*>(raw));
    OLE_XSIZE_HIMETRIC hmWidth = 0;
    OLE_YSIZE_HIMETRIC hmHeight = 0;
    pic->get_Width(&hmWidth);
    pic->get_Height(&hmHeight);
    const double unitX = TwipsPer(scaleMode_, false), unitY = TwipsPer(scaleMode_, true);
    Op op;
    op.picture = pic;
    op.x = Pixels(x * unitX);
    op.y = Pixels(y * unitY);
    op.cx = Missing(width) ? static_cast<int>(std::lround(hmWidth * 96.0 / 2540.0))
                           : Pixels(Number(width) * unitX);
    op.cy = Missing(height) ? static_cast<int>(std::lround(hmHeight * 96.0 / 2540.0))
                            : Pixels(Number(height) * unitY);
    ops_.push_back(std::move(op));
    Repaint(hwnd_);
  }
  double CurrentX() { return currentX_; }
  void LetCurrentX(double value) { currentX_ = value; }
  double CurrentY() { return currentY_; }
  void LetCurrentY(double value) { currentY_ = value; }
  void Print(std::u16string_view text) {
    const double unitX = TwipsPer(scaleMode_, false), unitY = TwipsPer(scaleMode_, true);
    const double lineHeight = ControlLineHeight() * TwipsPerPixel() / unitY;
    // Each CR LF in the text ends a line; the print itself ends the last one.
    for (const std::u16string_view line : Lines(text)) {
      Op op;
      op.text = std::u16string(line);
      op.x = Pixels(currentX_ * unitX);
      op.y = Pixels(currentY_ * unitY);
      if (!op.text.empty()) ops_.push_back(std::move(op));
      currentX_ = 0;
      currentY_ += lineHeight;
    }
    Repaint(hwnd_);
  }
  int16_t ScaleMode() { return scaleMode_; }
  void LetScaleMode(int16_t value) {
    TwipsPer(value, false);
    scaleMode_ = value;
  }
  int16_t BorderStyle() { return borderStyle_; }
  void LetBorderStyle(int16_t value) {
    if (value != 0 && value != 1) throw RuntimeError(Err::InvalidProcedureCall);
    borderStyle_ = value;
    SetBorder(value == 1);
  }
  void Cls() {
    ops_.clear();
    currentX_ = currentY_ = 0;
    Repaint(hwnd_);
  }

  static LRESULT ORVEX_WNDPROC_CALL Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return DefWindowProcA(window, message, wParam, lParam);
    auto* self = reinterpret_cast<PictureBox*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window, &paint);
    if (self) {
      for (const Op& op : self->ops_) {
        if (op.picture) {
          DrawPicture(dc, op.picture.Get(), op.x, op.y, op.cx, op.cy);
        } else {
          DrawLine(dc, op.x, op.y, op.text);
        }
      }
    }
    EndPaint(window, &paint);
    return 0;
  }

 private:
  struct Op {
    ComPtr<IPicture> picture;  // a picture, or else a line of text
    std::u16string text;
    int x = 0, y = 0, cx = 0, cy = 0;
  };

  void SetBorder(bool on);

  HWND hwnd_ = 0;
  std::vector<Op> ops_;
  double currentX_ = 0;
  double currentY_ = 0;
  int16_t scaleMode_ = 1;
  int16_t borderStyle_ = 0;
};

void PictureBox::SetBorder(bool on) {
  const DWORD style = static_cast<DWORD>(GetWindowLongA(hwnd_, GWL_STYLE));
  SetWindowLongA(hwnd_, GWL_STYLE, static_cast<LONG>(on ? style | WS_BORDER : style & ~WS_BORDER));
}

const MemberDesc kPictureBoxMembers[] = {
    {"hwnd", MemberKind::Get, 0x68030000, {}, T::Long, Bind<&PictureBox::hwnd>()},
    {"Move",
     MemberKind::Method,
     0x60030001,
     {Param("Left", T::Variant), Param("Top", T::Variant, kOptional),
      Param("Width", T::Variant, kOptional), Param("Height", T::Variant, kOptional)},
     T::None,
     Bind<&PictureBox::Move>()},
    {"width", MemberKind::Get, 0x68030002, {}, T::Double, Bind<&PictureBox::width>()},
    {"width",
     MemberKind::Let,
     0x68030002,
     {Param("value", T::Double)},
     T::None,
     Bind<&PictureBox::Letwidth>()},
    {"height", MemberKind::Get, 0x68030003, {}, T::Double, Bind<&PictureBox::height>()},
    {"height",
     MemberKind::Let,
     0x68030003,
     {Param("value", T::Double)},
     T::None,
     Bind<&PictureBox::Letheight>()},
    {"ScaleX",
     MemberKind::Method,
     0x60030004,
     {Param("Width", T::Double), ParamDefault("FromScale", T::Long, kOptional, 8),
      ParamDefault("ToScale", T::Long, kOptional, 1)},
     T::Double,
     Bind<&PictureBox::ScaleX>()},
    {"ScaleY",
     MemberKind::Method,
     0x60030005,
     {Param("Height", T::Double), ParamDefault("FromScale", T::Long, kOptional, 8),
      ParamDefault("ToScale", T::Long, kOptional, 1)},
     T::Double,
     Bind<&PictureBox::ScaleY>()},
    {"PaintPicture",
     MemberKind::Method,
     0x60030006,
     {Param("Picture", T::Object), Param("X1", T::Double), Param("Y1", T::Double),
      Param("Width1", T::Variant, kOptional), Param("Height1", T::Variant, kOptional)},
     T::None,
     Bind<&PictureBox::PaintPicture>()},
    {"CurrentX", MemberKind::Get, 0x68030007, {}, T::Double, Bind<&PictureBox::CurrentX>()},
    {"CurrentX",
     MemberKind::Let,
     0x68030007,
     {Param("value", T::Double)},
     T::None,
     Bind<&PictureBox::LetCurrentX>()},
    {"CurrentY", MemberKind::Get, 0x68030008, {}, T::Double, Bind<&PictureBox::CurrentY>()},
    {"CurrentY",
     MemberKind::Let,
     0x68030008,
     {Param("value", T::Double)},
     T::None,
     Bind<&PictureBox::LetCurrentY>()},
    {"Print",
     MemberKind::Method,
     0x60030009,
     {Param("Text", T::String, kOptional)},
     T::None,
     Bind<&PictureBox::Print>()},
    {"ScaleMode", MemberKind::Get, 0x6803000A, {}, T::Integer, Bind<&PictureBox::ScaleMode>()},
    {"ScaleMode",
     MemberKind::Let,
     0x6803000A,
     {Param("value", T::Integer)},
     T::None,
     Bind<&PictureBox::LetScaleMode>()},
    {"BorderStyle", MemberKind::Get, 0x6803000B, {}, T::Integer, Bind<&PictureBox::BorderStyle>()},
    {"BorderStyle",
     MemberKind::Let,
     0x6803000B,
     {Param("value", T::Integer)},
     T::None,
     Bind<&PictureBox::LetBorderStyle>()},
    {"Cls", MemberKind::Method, 0x6003000C, {}, T::None, Bind<&PictureBox::Cls>()},
};

}  // namespace

const ClassInfo& PictureBoxInfo() {
  static const ClassInfo info({"PictureBox", "", MakeGuid("{7C2D4E62-91A3-4B58-9E21-3F6A0B8C4D02}"),
                               "_PictureBox", MakeGuid("{7C2D4E63-91A3-4B58-9E21-3F6A0B8C4D03}")},
                              kPictureBoxMembers, &CreateOf<PictureBox>);
  return info;
}

ComPtr<IDispatch> CreatePictureBox(HWND parent) {
  auto* box = new PictureBox(PictureBoxInfo());
  box->Create(parent);
  return ComPtr<IDispatch>::Attach(box);
}

WNDPROC PictureBoxProc() {
  return &PictureBox::Proc;
}

}  // namespace orvex::host_kit
