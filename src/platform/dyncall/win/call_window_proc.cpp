// Window procedures (and generated thunks entered like them) are called by the platform.
#include "platform/dyncall/call_window_proc.h"

#include "platform/core/win/windows_sdk.h"

namespace orvex {

LRESULT CallWindowProcA(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (proc == nullptr) return 0;
  return ::CallWindowProcA(reinterpret_cast<::WNDPROC>(reinterpret_cast<void*>(proc)),
                           win::ToReal<::HWND>(window), message, wParam, lParam);
}

}  // namespace orvex
