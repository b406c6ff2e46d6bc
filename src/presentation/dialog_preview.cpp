// The dialog preview: a modeless dialog of the open module, put into or over the host's
// picture box, whose members are looked up by name.
#include <string>

#include "catalogue/cls_q7_resf_resource_types_a.h"
#include "platform/gdi/gdi.h"
#include "platform/ole/late_bound.h"
#include "platform/text/text.h"
#include "platform/user/dialog.h"
#include "platform/user/window.h"
#include "server/frame/bas_q7el_common_a.h"
#include "server/frame/thread_module_state.h"

namespace orvex {
namespace {

// The extra height the picture box gets below a child-style preview, in pixels.
constexpr int kBoxExtraHeight = 24;

HWND ControlWindow(IDispatch* box) {
  if (!box) throw RuntimeError(Err::ObjectVariableNotSet);
  return static_cast<HWND>(GetProperty(box, "hwnd").ToLong());
}

}  // namespace

bool clsQ7ResfResourceTypesA::ShowDialog(std::u16string_view ResName, const ComPtr<IDispatch>& pb) {
  StepRunner step = ReportingSteps("ShowDialog");
  ThreadModuleState& state = GetThreadModuleState();
  IDispatch* box = pb.Get();
  state.ThreadPreviewWindow = 0;
  step([&] {
    const HWND parent = ControlWindow(box);
    state.ThreadPreviewWindow = CreateDialogParamA(
        state.ThreadModuleHandle, UnicodeToAnsi(ResName).c_str(), parent, nullptr, 0);
  });
  const HWND dialog = state.ThreadPreviewWindow;
  if (!dialog) return false;

  HWND control = 0;
  step([&] { control = ControlWindow(box); });
  RECT rect{};
  GetWindowRect(dialog, &rect);
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (GetParent(dialog) == control) {
    // A child-style template: inside the control, which takes the dialog's size.
    MoveWindow(dialog, 0, 0, width, height, TRUE);
    step([&] {
      if (!box) throw RuntimeError(Err::ObjectVariableNotSet);
      const double twipsWide = width * static_cast<double>(TwipsPerPixelX());
      const double twipsHigh = (height + kBoxExtraHeight) * static_cast<double>(TwipsPerPixelY());
      Call(box, "Move",
           {Variant(int32_t{0}), Variant(int32_t{0}), Variant(twipsWide), Variant(twipsHigh)});
    });
  } else {
    // A pop-up: over the control's top-left corner on the screen.
    RECT controlRect{};
    step([&] { GetWindowRect(ControlWindow(box), &controlRect); });
    MoveWindow(dialog, controlRect.left, controlRect.top, width, height, TRUE);
  }
  ShowWindow(dialog, SW_SHOWNORMAL);
  return true;
}

}  // namespace orvex
