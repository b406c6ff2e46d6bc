#include "platform/dyncall/call_window_proc.h"

namespace orvex {

LRESULT CallWindowProcA(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (proc == nullptr) return 0;
  return proc(window, message, wParam, lParam);
}

}  // namespace orvex
