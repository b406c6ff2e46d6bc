// Version information is read by the platform's own functions (version.dll).
#include "platform/version/version.h"

#include "platform/core/win/windows_sdk.h"

namespace orvex {

DWORD GetFileVersionInfoSizeA(LPCSTR filename, DWORD* handle) {
  ::DWORD zero = 0;
  const ::DWORD size = ::GetFileVersionInfoSizeA(filename, &zero);
  if (handle != nullptr) *handle = zero;
  return size;
}

BOOL GetFileVersionInfoA(LPCSTR filename, DWORD handle, DWORD size, LPVOID data) {
  return ::GetFileVersionInfoA(filename, handle, size, data);
}

BOOL VerQueryValueA(const void* block, LPCSTR subBlock, LPVOID* buffer, UINT* length) {
  ::UINT got = 0;
  const ::BOOL found = ::VerQueryValueA(block, subBlock, buffer, &got);
  if (found && length != nullptr) *length = got;
  return found;
}

}  // namespace orvex
