// The host kit's TextBox: a bordered window showing its text line by line.
#include "host/host_controls.h"

#include <string>

#include "platform/text/text.h"
#include "platform/user/window.h"

namespace orvex::host_kit {
namespace {

namespace T = types;

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

}  // namespace

const ClassInfo& TextBoxInfo() {
  static const ClassInfo info({"TextBox", "", MakeGuid("{7C2D4E64-91A3-4B58-9E21-3F6A0B8C4D04}"),
                               "_TextBox", MakeGuid("{7C2D4E65-91A3-4B58-9E21-3F6A0B8C4D05}")},
                              kTextBoxMembers, &CreateOf<TextBox>);
  return info;
}

ComPtr<IDispatch> CreateTextBox(HWND parent) {
  auto* box = new TextBox(TextBoxInfo());
  box->Create(parent);
  return ComPtr<IDispatch>::Attach(box);
}

WNDPROC TextBoxProc() {
  return &TextBox::Proc;
}

}  // namespace orvex::host_kit
