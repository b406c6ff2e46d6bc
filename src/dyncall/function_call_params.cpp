#include "dyncall/function_call_params.h"

#include "base/runtime_error.h"
#include "platform/ole/oleauto.h"
#include "platform/ole/wrappers.h"

namespace orvex {

namespace {

// The array behind the parameter; null for an array variable without bounds.
SAFEARRAY* ArrayOf(const VARIANT& funcParams) {
  const VARIANT& value =
      funcParams.vt == (VT_BYREF | VT_VARIANT) ? *funcParams.pvarVal : funcParams;
  if (value.vt == (VT_ARRAY | VT_VARIANT)) return value.parray;
  if (value.vt == (VT_BYREF | VT_ARRAY | VT_VARIANT)) {
    return value.pparray != nullptr ? *value.pparray : nullptr;
  }
  throw RuntimeError(Err::TypeMismatch);
}

}  // namespace

int32_t CallFunctionWithParams(FunctionCaller& caller, const VARIANT& funcParams) {
  SAFEARRAY* array = nullptr;
  auto count = [&]() -> int64_t {
    array = ArrayOf(funcParams);
    LONG upper = 0;
    if (array == nullptr || FAILED(SafeArrayGetUBound(array, 1, &upper)))
      throw RuntimeError(Err::SubscriptOutOfRange);
    return static_cast<int64_t>(upper) + 1;
  };
  auto argument = [&](int32_t index) -> int32_t {
    // One index into an array of more dimensions is out of range.
    if (SafeArrayGetDim(array) != 1) throw RuntimeError(Err::SubscriptOutOfRange);
    const LONG position = index;
    Variant element;
    HRESULT hr = SafeArrayGetElement(array, &position, element.Ptr());
    ThrowIfFailed(hr);
    return element.ToLong();
  };
  return caller.CallFunction(count, argument);
}

}  // namespace orvex
