// The calling thread's last platform error, one value per thread as on the platform.
#include "platform/win32_types.h"

namespace orvex {

namespace {
thread_local DWORD lastError = ERROR_SUCCESS;
}  // namespace

DWORD GetLastError() {
  return lastError;
}
void SetLastError(DWORD error) {
  lastError = error;
}

}  // namespace orvex
