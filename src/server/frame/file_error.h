// The run-time error that a failed file operation of a resource member reports, from the
// platform's last error.
#pragma once

#include <string_view>

#include "base/runtime_error.h"

namespace orvex {

// Err::FileNotFound, PathNotFound, OutOfMemory, else PathFileAccessError; `what` (when
// given) follows the text in parentheses.
RuntimeError FileError(std::string_view what);

}  // namespace orvex
