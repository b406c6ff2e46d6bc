#include "host/host_kit.h"

#include <cmath>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/ole/picture.h"
#include "platform/text/text.h"
#include "platform/user/window.h"

namespace orvex {
namespace {

namespace T = types;

constexpr char kFormClass[] = "Orvex10HostForm";
constexpr char kPictureBoxClass[] = "Orvex10HostPictureBox";
constexpr char kTextBoxClass[] = "Orvex10HostTextBox";
// The controls' default font: MS Sans Serif 8 pt (its em height in pixels at the screen's
// resolution).
HFONT ControlFont() {
  static const HFONT font =
      CreateFontA(-static_cast<int>(std::lround(8.0 * GetDeviceCaps(0, LOGPIXELSY) / 72)), 0, 0, 0,
                  FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                  DEFAULT_QUALITY, DEFAULT_PITCH, "MS Sans Serif");
  return font;
}

int ControlLineHeight() {
  static const int height = [] {
    const HDC dc = CreateCompatibleDC(0);
    const HGDIOBJ previous = SelectObject(dc, ControlFont());
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, previous);
    DeleteDC(dc);
    return metrics.tmHeight;
  }();
  return height;
}

// One line of text in black with its top-left corner at (x, y).
void DrawLine(HDC dc, int x, int y, std::u16string_view text) {
  const std::string ansi = UnicodeToAnsi(text);
  const HGDIOBJ previous = SelectObject(dc, ControlFont());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, 0);
  TextOutA(dc, x, y, ansi.data(), static_cast<int>(ansi.size()));
  SelectObject(dc, previous);
}

// A picture at (x, y), cx × cy (its own size when either is 0), drawn from its handle.
void DrawPicture(HDC dc, IPicture* picture, int x, int y, int cx, int cy) {
  SHORT type = PICTYPE_NONE;
  OLE_HANDLE handle = 0;
  if (picture->get_Type(&type) < 0 || picture->get_Handle(&handle) < 0 || cx < 0 || cy < 0) return;
  if (type == PICTYPE_ICON) {
    DrawIconEx(dc, x, y, handle, cx, cy, 0, 0, DI_NORMAL);
    return;
  }
  BITMAP bitmap{};
  if (type != PICTYPE_BITMAP || !GetObjectA(handle, sizeof bitmap, &bitmap)) return;
  if (cx == 0 || cy == 0) {
    cx = bitmap.bmWidth;
    cy = bitmap.bmHeight;
  }
  const HDC memory = CreateCompatibleDC(dc);
  const HGDIOBJ previous = SelectObject(memory, handle);
  StretchBlt(dc, x, y, cx, cy, memory, 0, 0, bitmap.bmWidth, bitmap.bmHeight, SRCCOPY);
  SelectObject(memory, previous);
  DeleteDC(memory);
}

// Drawing is kept and painted on WM_PAINT: a change asks for a repaint now.
void Repaint(HWND window) {
  InvalidateRect(window, nullptr, TRUE);
  UpdateWindow(window);
}

double TwipsPerPixel() {
  return TwipsPerPixelX();
}

double Number(const VARIANT& value) {
  return Variant(value).ToDouble();
}

bool Missing(const VARIANT& value) {
  return value.vt == VT_ERROR || value.vt == VT_EMPTY;
}

// The lines of a text whose lines end in CR LF; the part after the last CR LF is a line too
// (empty when the text ends in one).
std::vector<std::u16string_view> Lines(std::u16string_view text) {
  std::vector<std::u16string_view> lines;
  for (size_t start = 0;;) {
    const size_t end = text.find(u"\r\n", start);
    lines.push_back(text.substr(start, end == std::u16string_view::npos ? end : end - start));
    if (end == std::u16string_view::npos) return lines;
    start = end + 2;
  }
}

int Pixels(double twips) {
  return static_cast<int>(std::lround(twips / TwipsPerPixel()));
}

// Twips per unit of a scale mode.
double TwipsPer(int32_t mode, bool vertical) {
  switch (mode) {
    case 0:
    case 1:
      return 1;
    case 2:
      return 20;
    case 3:
      return TwipsPerPixel();
    case 4:
      return vertical ? 240 : 120;
    case 5:
      return 1440;
    case 6:
      return 1440 / 25.4;
    case 7:
      return 1440 / 2.54;
    case 8:
      return 1440 / 2540.0;
    default:
      throw RuntimeError(Err::InvalidProcedureCall);
  }
}

LRESULT ORVEX_WNDPROC_CALL FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterWindowClasses(WNDPROC pictureBoxProc, WNDPROC textBoxProc) {
  static const bool registered = [&] {
    WNDCLASSA form{};
    form.lpfnWndProc = FormProc;
    form.hbrBackground = COLOR_3DFACE + 1;
    form.lpszClassName = kFormClass;
    RegisterClassA(&form);
    WNDCLASSA box = form;
    box.lpfnWndProc = pictureBoxProc;
    box.lpszClassName = kPictureBoxClass;
    RegisterClassA(&box);
    WNDCLASSA text = form;
    text.lpfnWndProc = textBoxProc;
    text.hbrBackground = COLOR_WINDOW + 1;
    text.lpszClassName = kTextBoxClass;
    RegisterClassA(&text);
    return true;
  }();
  (void)registered;
}

// Outer size of a window in twips.
double OuterTwips(HWND window, bool vertical) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return (vertical ? rect.bottom - rect.top : rect.right - rect.left) * TwipsPerPixel();
}

// The window's rectangle where MoveWindow places it: in its parent's client area for a child,
// on the screen otherwise.
RECT PlacedRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  if (const HWND parent = GetParent(window);
      parent && (GetWindowLongA(window, GWL_STYLE) & WS_CHILD)) {
    POINT client{0, 0};
    ClientToScreen(parent, &client);
    rect = {rect.left - client.x, rect.top - client.y, rect.right - client.x,
            rect.bottom - client.y};
  }
  return rect;
}

void Resize(HWND window, double twips, bool vertical) {
  const RECT rect = PlacedRect(window);
  const int width = vertical ? rect.right - rect.left : Pixels(twips);
  const int height = vertical ? Pixels(twips) : rect.bottom - rect.top;
  MoveWindow(window, rect.left, rect.top, width, height, TRUE);
}

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
  void PaintPicture(ComPtr<IDispatch> picture, double x, double y, const VARIANT& width,
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

class TextBox final : public Dispatchable {
 public:
  using Dispatchable::Dispatchable;
  ~TextBox() override {
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
  }
  void Create(HWND parent) {
    hwnd_ = CreateWindowExA(0, kTextBoxClass, "", WS_CHILD | WS_VISIBLE | WS_BORDER, 0, 0, 200, 100,
                            parent, 0, 0, nullptr);
  }
  int32_t hwnd() { return static_cast<int32_t>(hwnd_); }
  std::u16string Text() { return text_; }
  void LetText(std::u16string_view value) {
    text_ = value;
    SetWindowTextA(hwnd_, UnicodeToAnsi(value).c_str());
    Repaint(hwnd_);
  }

  static LRESULT ORVEX_WNDPROC_CALL Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return DefWindowProcA(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window, &paint);
    const int length = static_cast<int>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
    std::string text(static_cast<size_t>(length) + 1, '\0');
    GetWindowTextA(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    const int lineHeight = ControlLineHeight();
    const std::u16string unicode = AnsiToUnicode(text);
    int y = 1;
    for (const std::u16string_view line : Lines(unicode)) {
      if (y >= paint.rcPaint.bottom) break;
      DrawLine(dc, 2, y, line);
      y += lineHeight;
    }
    EndPaint(window, &paint);
    return 0;
  }

 private:
  HWND hwnd_ = 0;
  std::u16string text_;
};

class Form final : public Dispatchable {
 public:
  explicit Form(const ClassInfo& info) : Dispatchable(info) {
    RegisterWindowClasses(&PictureBox::Proc, &TextBox::Proc);
    hwnd_ =
        CreateWindowExA(0, kFormClass, "Form1", WS_OVERLAPPED, 0, 0, 800, 600, 0, 0, 0, nullptr);
  }
  ~Form() override {
    controls_.clear();
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
  }
  int32_t hwnd() { return static_cast<int32_t>(hwnd_); }
  double width() { return OuterTwips(hwnd_, false); }
  void Letwidth(double value) { Resize(hwnd_, value, false); }
  double height() { return OuterTwips(hwnd_, true); }
  void Letheight(double value) { Resize(hwnd_, value, true); }
  std::u16string Caption() {
    char text[512] = {};
    GetWindowTextA(hwnd_, text, sizeof text);
    return AnsiToUnicode(text);
  }
  void LetCaption(std::u16string_view value) {
    SetWindowTextA(hwnd_, UnicodeToAnsi(value).c_str());
  }
  ComPtr<IDispatch> AddPictureBox();
  ComPtr<IDispatch> AddTextBox();

 private:
  HWND hwnd_ = 0;
  std::vector<ComPtr<IDispatch>> controls_;
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

const MemberDesc kTextBoxMembers[] = {
    {"hwnd", MemberKind::Get, 0x68030000, {}, T::Long, Bind<&TextBox::hwnd>()},
    {"Text", MemberKind::Get, 0x68030001, {}, T::String, Bind<&TextBox::Text>()},
    {"Text",
     MemberKind::Let,
     0x68030001,
     {Param("value", T::String)},
     T::None,
     Bind<&TextBox::LetText>()},
};

const MemberDesc kFormMembers[] = {
    {"hwnd", MemberKind::Get, 0x68030000, {}, T::Long, Bind<&Form::hwnd>()},
    {"width", MemberKind::Get, 0x68030001, {}, T::Double, Bind<&Form::width>()},
    {"width",
     MemberKind::Let,
     0x68030001,
     {Param("value", T::Double)},
     T::None,
     Bind<&Form::Letwidth>()},
    {"height", MemberKind::Get, 0x68030002, {}, T::Double, Bind<&Form::height>()},
    {"height",
     MemberKind::Let,
     0x68030002,
     {Param("value", T::Double)},
     T::None,
     Bind<&Form::Letheight>()},
    {"Caption", MemberKind::Get, 0x68030003, {}, T::String, Bind<&Form::Caption>()},
    {"Caption",
     MemberKind::Let,
     0x68030003,
     {Param("value", T::String)},
     T::None,
     Bind<&Form::LetCaption>()},
    {"AddPictureBox", MemberKind::Method, 0x60030004, {}, T::Object, Bind<&Form::AddPictureBox>()},
    {"AddTextBox", MemberKind::Method, 0x60030005, {}, T::Object, Bind<&Form::AddTextBox>()},
};

const ClassInfo& PictureBoxInfo() {
  static const ClassInfo info({"PictureBox", "", MakeGuid("{7C2D4E62-91A3-4B58-9E21-3F6A0B8C4D02}"),
                               "_PictureBox", MakeGuid("{7C2D4E63-91A3-4B58-9E21-3F6A0B8C4D03}")},
                              kPictureBoxMembers, &CreateOf<PictureBox>);
  return info;
}

const ClassInfo& TextBoxInfo() {
  static const ClassInfo info({"TextBox", "", MakeGuid("{7C2D4E64-91A3-4B58-9E21-3F6A0B8C4D04}"),
                               "_TextBox", MakeGuid("{7C2D4E65-91A3-4B58-9E21-3F6A0B8C4D05}")},
                              kTextBoxMembers, &CreateOf<TextBox>);
  return info;
}

const ClassInfo& FormInfo() {
  static const ClassInfo info(
      {"Form", "Orvex10Host.Form", MakeGuid("{7C2D4E66-91A3-4B58-9E21-3F6A0B8C4D06}"), "_Form",
       MakeGuid("{7C2D4E67-91A3-4B58-9E21-3F6A0B8C4D07}")},
      kFormMembers, &CreateOf<Form>);
  return info;
}

ComPtr<IDispatch> Form::AddPictureBox() {
  auto* box = new PictureBox(PictureBoxInfo());
  box->Create(hwnd_);
  auto object = ComPtr<IDispatch>::Attach(box);
  controls_.push_back(object);
  return object;
}

ComPtr<IDispatch> Form::AddTextBox() {
  auto* box = new TextBox(TextBoxInfo());
  box->Create(hwnd_);
  auto object = ComPtr<IDispatch>::Attach(box);
  controls_.push_back(object);
  return object;
}

}  // namespace

std::span<const ClassInfo* const> HostKitClasses() {
  static const ClassInfo* const classes[] = {&FormInfo(), &PictureBoxInfo(), &TextBoxInfo()};
  return classes;
}

const ServerDescription& HostKitServer() {
  static const ServerDescription server{"Orvex10Host", LIBID_Orvex10Host, "1.0", HostKitClasses()};
  return server;
}

void RegisterHostKitClasses() {
  RegisterClassInProcess(FormInfo());
}

}  // namespace orvex
