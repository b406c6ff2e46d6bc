// The calling thread's last error is the platform's own.
#include "platform/win32_types.h"

#include "platform/core/win/windows_sdk.h"

namespace orvex {

DWORD GetLastError() {
  return ::GetLastError();
}
void SetLastError(DWORD error) {
  ::SetLastError(error);
}

}  // namespace orvex
