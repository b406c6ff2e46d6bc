// The numbered run-time errors the readers' steps fail with. Reading past the resource's
// bytes is "subscript out of range", as an array index past its upper bound would be.
#pragma once

#include "base/runtime_error.h"

namespace orvex::readers {

[[noreturn]] inline void ThrowInvalidArgument() {
  throw RuntimeError(Err::InvalidProcedureCall);
}
[[noreturn]] inline void ThrowOverflow() {
  throw RuntimeError(Err::Overflow);
}
[[noreturn]] inline void ThrowSubscriptOutOfRange() {
  throw RuntimeError(Err::SubscriptOutOfRange);
}
[[noreturn]] inline void ThrowOutOfStringSpace() {
  throw RuntimeError(Err::OutOfStringSpace);
}
[[noreturn]] inline void ThrowTypeMismatch() {
  throw RuntimeError(Err::TypeMismatch);
}
[[noreturn]] inline void ThrowOutOfStackSpace() {
  throw RuntimeError(Err::OutOfStackSpace);
}

// Taking the bytes of a resource that yielded none (the empty variant) into a byte array.
inline void RequireBytes(size_t size) {
  if (size == 0) ThrowTypeMismatch();
}

}  // namespace orvex::readers
