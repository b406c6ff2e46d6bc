// The numbered run-time errors the readers' steps fail with. Reading past the resource's
// bytes is "subscript out of range", as an array index past its upper bound would be.
#pragma once

#include "base/runtime_error.h"

namespace orvex::readers {

[[noreturn]] inline void ThrowInvalidArgument() {
  throw RuntimeError(5, "Invalid procedure call or argument");
}
[[noreturn]] inline void ThrowOverflow() {
  throw RuntimeError(6, "Overflow");
}
[[noreturn]] inline void ThrowSubscriptOutOfRange() {
  throw RuntimeError(9, "Subscript out of range");
}
[[noreturn]] inline void ThrowOutOfStringSpace() {
  throw RuntimeError(14, "Out of string space");
}
[[noreturn]] inline void ThrowTypeMismatch() {
  throw RuntimeError(13, "Type mismatch");
}
[[noreturn]] inline void ThrowOutOfStackSpace() {
  throw RuntimeError(28, "Out of stack space");
}

// Taking the bytes of a resource that yielded none (the empty variant) into a byte array.
inline void RequireBytes(size_t size) {
  if (size == 0) ThrowTypeMismatch();
}

}  // namespace orvex::readers
