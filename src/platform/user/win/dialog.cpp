// Dialogs are the platform's own. A dialog procedure of this layer is entered through one
// procedure of the platform's kind; its record travels in the creation parameter and then
// in the dialog's DWLP_USER slot until WM_NCDESTROY.
#include "platform/user/dialog.h"

#include <cstring>
#include <vector>

#include "platform/core/win/pointer_handles.h"
#include "platform/core/win/windows_sdk.h"

namespace orvex {

namespace {

struct DialogRecord {
  DLGPROC proc;
  LPARAM param;
};

::INT_PTR CALLBACK EnterDialogProcedure(::HWND dialog, ::UINT message, ::WPARAM wParam,
                                        ::LPARAM lParam) {
  auto* record = reinterpret_cast<DialogRecord*>(::GetWindowLongPtrA(dialog, DWLP_USER));
  if (message == WM_INITDIALOG) {
    record = reinterpret_cast<DialogRecord*>(lParam);
    ::SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(record));
    lParam = record->param;
  }
  if (record == nullptr) return FALSE;
  const ::INT_PTR result = record->proc(win::FromReal(dialog), message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrA(dialog, DWLP_USER, 0);
    delete record;
  }
  return result;
}

::HINSTANCE RealInstance(HINSTANCE instance) {
  return static_cast<::HINSTANCE>(win::ModuleHandles().Resolve(instance));
}

}  // namespace

HWND CreateDialogParamA(HINSTANCE instance, LPCSTR name, HWND parent, DLGPROC proc, LPARAM param) {
  if (proc == nullptr)
    return win::FromReal(::CreateDialogParamA(RealInstance(instance), name,
                                              win::ToReal<::HWND>(parent), nullptr, param));
  auto* record = new DialogRecord{proc, param};
  ::HWND dialog = ::CreateDialogParamA(RealInstance(instance), name, win::ToReal<::HWND>(parent),
                                       EnterDialogProcedure, reinterpret_cast<::LPARAM>(record));
  if (dialog == nullptr) delete record;  // WM_INITDIALOG never came
  return win::FromReal(dialog);
}

HWND CreateDialogFromTemplate(HINSTANCE instance, Bytes templateBytes, HWND parent, DLGPROC proc,
                              LPARAM param) {
  // Templates must start on a DWORD boundary.
  std::vector<uint32_t> aligned((templateBytes.size() + 3) / 4);
  std::memcpy(aligned.data(), templateBytes.data(), templateBytes.size());
  auto* dialogTemplate = reinterpret_cast<const ::DLGTEMPLATE*>(aligned.data());
  if (proc == nullptr)
    return win::FromReal(::CreateDialogIndirectParamA(RealInstance(instance), dialogTemplate,
                                                      win::ToReal<::HWND>(parent), nullptr, param));
  auto* record = new DialogRecord{proc, param};
  ::HWND dialog = ::CreateDialogIndirectParamA(RealInstance(instance), dialogTemplate,
                                               win::ToReal<::HWND>(parent), EnterDialogProcedure,
                                               reinterpret_cast<::LPARAM>(record));
  if (dialog == nullptr) delete record;
  return win::FromReal(dialog);
}

BOOL MapDialogRect(HWND dialog, RECT* rect) {
  return ::MapDialogRect(win::ToReal<::HWND>(dialog), reinterpret_cast<::RECT*>(rect));
}

LONG GetDialogBaseUnits() {
  return ::GetDialogBaseUnits();
}

}  // namespace orvex
