// The automation runtime's functions for strings, variants and safe arrays, with the
// platform's names and argument order.
#pragma once

#include <string_view>

#include "platform/ole/types.h"

namespace orvex {

// BSTR: allocated with malloc; SysFreeString(nullptr) is a no-op.
BSTR SysAllocString(const OLECHAR* text);
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);  // text may be null (zero-filled)
BSTR SysAllocStringByteLen(const char* bytes, UINT length);
void SysFreeString(BSTR text);
UINT SysStringLen(BSTR text);
UINT SysStringByteLen(BSTR text);
// Convenience: a BSTR copy of a UTF-16 view.
BSTR SysAllocStringView(std::u16string_view text);
inline std::u16string_view BstrView(BSTR text) {
  return {text ? text : u"", SysStringLen(text)};
}

void VariantInit(VARIANT* v);
// Frees what the variant owns (strings, arrays, references) and leaves it VT_EMPTY.
// By-reference variants own nothing.
HRESULT VariantClear(VARIANT* v);
// Deep copy; `dest` is cleared first. By-reference variants are copied as references.
HRESULT VariantCopy(VARIANT* dest, const VARIANT* src);
// Deep copy of the value behind a by-reference variant.
HRESULT VariantCopyInd(VARIANT* dest, const VARIANT* src);
// Converts `src` (dereferenced when by reference) to `vt` into `dest` (which may be src).
// Numeric text: leading/trailing spaces, sign, digits, one decimal point, exponent,
// "&H"/"&O" prefixes; doubles become integers rounding half to even. Failures:
// DISP_E_OVERFLOW (Err::Overflow), DISP_E_TYPEMISMATCH (Err::TypeMismatch).
HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, USHORT flags, VARTYPE vt);
HRESULT VariantChangeTypeEx(VARIANT* dest, const VARIANT* src, LCID lcid, USHORT flags, VARTYPE vt);

// Safe arrays. Element types: VT_UI1, VT_I2, VT_I4, VT_R4, VT_R8, VT_BOOL, VT_BSTR,
// VT_VARIANT, VT_DISPATCH, VT_UNKNOWN and the other fixed-size scalars.
SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT dims, const SAFEARRAYBOUND* bounds);
SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lowerBound, ULONG elements);
HRESULT SafeArrayDestroy(SAFEARRAY* array);
HRESULT SafeArrayCopy(SAFEARRAY* source, SAFEARRAY** copy);
UINT SafeArrayGetDim(SAFEARRAY* array);
UINT SafeArrayGetElemsize(SAFEARRAY* array);
HRESULT SafeArrayGetVartype(SAFEARRAY* array, VARTYPE* vt);
// dim counts from 1 (the leftmost dimension).
HRESULT SafeArrayGetLBound(SAFEARRAY* array, UINT dim, LONG* bound);
HRESULT SafeArrayGetUBound(SAFEARRAY* array, UINT dim, LONG* bound);
HRESULT SafeArrayLock(SAFEARRAY* array);
HRESULT SafeArrayUnlock(SAFEARRAY* array);
HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data);
HRESULT SafeArrayUnaccessData(SAFEARRAY* array);
// indices follow rgsabound: indices[0] is the rightmost dimension, as on the platform (a
// vector needs just one). Strings, variants and interfaces are copied in and out.
HRESULT SafeArrayGetElement(SAFEARRAY* array, const LONG* indices, void* value);
HRESULT SafeArrayPutElement(SAFEARRAY* array, const LONG* indices, const void* value);
HRESULT SafeArrayRedim(SAFEARRAY* array, const SAFEARRAYBOUND* lastDimension);

}  // namespace orvex
