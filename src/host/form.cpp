// Orvex10Host.Form: a top-level window that makes picture boxes and text boxes.
#include "host/host_controls.h"

#include <string>
#include <vector>

#include "platform/text/text.h"
#include "platform/user/window.h"

namespace orvex::host_kit {
namespace {

namespace T = types;

class Form final : public Dispatchable {
 public:
  explicit Form(const ClassInfo& info) : Dispatchable(info) {
    RegisterWindowClasses(PictureBoxProc(), TextBoxProc());
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

}  // namespace

const ClassInfo& FormInfo() {
  static const ClassInfo info(
      {"Form", "Orvex10Host.Form", MakeGuid("{7C2D4E66-91A3-4B58-9E21-3F6A0B8C4D06}"), "_Form",
       MakeGuid("{7C2D4E67-91A3-4B58-9E21-3F6A0B8C4D07}")},
      kFormMembers, &CreateOf<Form>);
  return info;
}

ComPtr<IDispatch> Form::AddPictureBox() {
  auto object = CreatePictureBox(hwnd_);
  controls_.push_back(object);
  return object;
}

ComPtr<IDispatch> Form::AddTextBox() {
  auto object = CreateTextBox(hwnd_);
  controls_.push_back(object);
  return object;
}

}  // namespace orvex::host_kit
