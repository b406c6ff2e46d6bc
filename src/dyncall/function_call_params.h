// The arguments of a dynamic call as a client hands them over: `FuncParams`, a
// one-dimensional array of variants, each element going to the function as a Long.
#pragma once

#include <cstdint>

#include "dyncall/function_caller.h"
#include "platform/ole/types.h"

namespace orvex {

// Calls the function bound in `caller` with the elements of `funcParams`: a variant that
// holds a one-dimensional array of variants (VT_ARRAY | VT_VARIANT, possibly by reference,
// or a by-reference variant holding one). Argument i is element i - 1, so the count is the
// upper bound + 1 and elements are read from index 0 whatever the lower bound is.
// Each element is coerced as VariantChangeType to VT_I4 does: numbers by value (doubles
// rounding half to even), numeric text parsed, Empty 0, True -1. Errors, with nothing
// called and the binding kept: Err::TypeMismatch when `funcParams` is no variant array or an
// element cannot be coerced (non-numeric text, Null, an object without a value), Err::Overflow for
// a value outside the Long range, Err::SubscriptOutOfRange for an array without bounds, with more
// than one dimension, or without an element at index 0 to upper bound. Without a bound function the
// box "Function not defined!" comes first and nothing is read.
int32_t CallFunctionWithParams(FunctionCaller& caller, const VARIANT& funcParams);

}  // namespace orvex
