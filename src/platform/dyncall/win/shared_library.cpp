// Code libraries are loaded by the platform's loader; their handles cross as 32-bit values
// from the module handle table.
#include "platform/dyncall/shared_library.h"

#include "platform/core/win/pointer_handles.h"
#include "platform/core/win/windows_sdk.h"

namespace orvex::shared {

HMODULE LoadLibraryA(LPCSTR name) {
  return win::ModuleHandles().Intern(::LoadLibraryA(name));
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
  auto* real = static_cast<::HMODULE>(win::ModuleHandles().Resolve(module));
  if (module != 0 && real == nullptr) {
    ::SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (real == nullptr) real = ::GetModuleHandleA(nullptr);
  return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(::GetProcAddress(real, name)));
}

BOOL FreeLibrary(HMODULE module) {
  auto* real = static_cast<::HMODULE>(win::ModuleHandles().Resolve(module));
  if (real == nullptr) {
    ::SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return ::FreeLibrary(real);
}

}  // namespace orvex::shared
