// Dialog templates of both layouts: parse, check the item list against the bytes, then build
// the dialog with its controls in a parent window, paint it and destroy it.
#include <cairo.h>

#include <cstddef>
#include <cstdint>

#include "platform/user/dialog.h"
#include "platform/user/dialog_template.h"
#include "platform/user/window.h"
#include "platform/user/window_capture.h"

namespace {

orvex::HWND Parent() {
  static const orvex::HWND parent = [] {
    const orvex::HWND top =
        orvex::CreateWindowExA(0, "Static", "", orvex::WS_POPUP, 0, 0, 400, 300, 0, 0, 0, nullptr);
    return orvex::CreateWindowExA(0, "Static", "", orvex::WS_CHILD | orvex::WS_VISIBLE, 10, 10, 200,
                                  100, top, 0, 0, nullptr);
  }();
  return parent;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto bytes = orvex::AsBytes(data, size);
  auto parsed = orvex::ParseDialogTemplate(bytes);
  if (parsed && parsed->items.size() * 24 > size + 24) __builtin_trap();  // items need bytes
  const orvex::HWND dialog = orvex::CreateDialogFromTemplate(0, bytes, Parent(), nullptr, 0);
  if (dialog) {
    // Painted onto a small surface: whatever the template says, drawing stays in bounds.
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 64, 64);
    cairo_t* cr = cairo_create(surface);
    orvex::PaintWindowTree(dialog, cr);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    orvex::DestroyWindow(dialog);
  }
  if (parsed && !dialog && orvex::IsWindow(orvex::GetWindow(Parent(), orvex::GW_CHILD)))
    __builtin_trap();  // a dialog that failed left a window behind
  return 0;
}
