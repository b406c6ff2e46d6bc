#include "server/frame/file_error.h"

#include "platform/win32_types.h"

namespace orvex {

RuntimeError FileError(std::string_view what) {
  switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
      return RuntimeError(Err::FileNotFound, what);
    case ERROR_PATH_NOT_FOUND:
      return RuntimeError(Err::PathNotFound, what);
    case ERROR_NOT_ENOUGH_MEMORY:
      return RuntimeError(Err::OutOfMemory);
    default:  // access denied, a folder in the way, a refused symbolic link
      return RuntimeError(Err::PathFileAccessError, what);
  }
}

}  // namespace orvex
