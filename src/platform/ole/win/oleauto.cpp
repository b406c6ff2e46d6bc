// Strings, variants and safe arrays are the platform's own (oleaut32): what the library
// hands a client is freed with the platform's functions. This layer's types have the
// platform's layout; OLECHAR is char16_t here and wchar_t there, the same 16-bit units.
#include "platform/ole/oleauto.h"

#include "platform/core/win/windows_sdk.h"

namespace orvex {

static_assert(sizeof(VARIANT) == sizeof(::VARIANT));
static_assert(sizeof(SAFEARRAY) == sizeof(::SAFEARRAY));
static_assert(sizeof(DISPPARAMS) == sizeof(::DISPPARAMS));
static_assert(sizeof(EXCEPINFO) == sizeof(::EXCEPINFO));
static_assert(sizeof(GUID) == sizeof(::GUID));
static_assert(sizeof(OLECHAR) == sizeof(::OLECHAR));

namespace {

::VARIANT* Real(VARIANT* v) {
  return reinterpret_cast<::VARIANT*>(v);
}
// The platform's declarations take sources as non-const; they are not written.
::VARIANT* Real(const VARIANT* v) {
  return const_cast<::VARIANT*>(reinterpret_cast<const ::VARIANT*>(v));
}
::SAFEARRAY* Real(SAFEARRAY* array) {
  return reinterpret_cast<::SAFEARRAY*>(array);
}
::BSTR Real(BSTR text) {
  return reinterpret_cast<::BSTR>(text);
}
BSTR Ours(::BSTR text) {
  return reinterpret_cast<BSTR>(text);
}
SAFEARRAY* Ours(::SAFEARRAY* array) {
  return reinterpret_cast<SAFEARRAY*>(array);
}

}  // namespace

BSTR SysAllocString(const OLECHAR* text) {
  return Ours(::SysAllocString(reinterpret_cast<const ::OLECHAR*>(text)));
}
BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
  return Ours(::SysAllocStringLen(reinterpret_cast<const ::OLECHAR*>(text), length));
}
BSTR SysAllocStringByteLen(const char* bytes, UINT length) {
  return Ours(::SysAllocStringByteLen(bytes, length));
}
void SysFreeString(BSTR text) {
  ::SysFreeString(Real(text));
}
UINT SysStringLen(BSTR text) {
  return ::SysStringLen(Real(text));
}
UINT SysStringByteLen(BSTR text) {
  return ::SysStringByteLen(Real(text));
}
BSTR SysAllocStringView(std::u16string_view text) {
  return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

void VariantInit(VARIANT* v) {
  ::VariantInit(Real(v));
}
HRESULT VariantClear(VARIANT* v) {
  return ::VariantClear(Real(v));
}
HRESULT VariantCopy(VARIANT* dest, const VARIANT* src) {
  return ::VariantCopy(Real(dest), Real(src));
}
HRESULT VariantCopyInd(VARIANT* dest, const VARIANT* src) {
  return ::VariantCopyInd(Real(dest), Real(src));
}
HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, USHORT flags, VARTYPE vt) {
  return ::VariantChangeType(Real(dest), Real(src), flags, vt);
}
HRESULT VariantChangeTypeEx(VARIANT* dest, const VARIANT* src, LCID lcid, USHORT flags,
                            VARTYPE vt) {
  return ::VariantChangeTypeEx(Real(dest), Real(src), lcid, flags, vt);
}

SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT dims, const SAFEARRAYBOUND* bounds) {
  return Ours(::SafeArrayCreate(
      vt, dims, const_cast<::SAFEARRAYBOUND*>(reinterpret_cast<const ::SAFEARRAYBOUND*>(bounds))));
}
SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lowerBound, ULONG elements) {
  return Ours(::SafeArrayCreateVector(vt, lowerBound, elements));
}
HRESULT SafeArrayDestroy(SAFEARRAY* array) {
  return ::SafeArrayDestroy(Real(array));
}
HRESULT SafeArrayCopy(SAFEARRAY* source, SAFEARRAY** copy) {
  return ::SafeArrayCopy(Real(source), reinterpret_cast<::SAFEARRAY**>(copy));
}
UINT SafeArrayGetDim(SAFEARRAY* array) {
  return ::SafeArrayGetDim(Real(array));
}
UINT SafeArrayGetElemsize(SAFEARRAY* array) {
  return ::SafeArrayGetElemsize(Real(array));
}
HRESULT SafeArrayGetVartype(SAFEARRAY* array, VARTYPE* vt) {
  return ::SafeArrayGetVartype(Real(array), vt);
}
HRESULT SafeArrayGetLBound(SAFEARRAY* array, UINT dim, LONG* bound) {
  return ::SafeArrayGetLBound(Real(array), dim, reinterpret_cast<::LONG*>(bound));
}
HRESULT SafeArrayGetUBound(SAFEARRAY* array, UINT dim, LONG* bound) {
  return ::SafeArrayGetUBound(Real(array), dim, reinterpret_cast<::LONG*>(bound));
}
HRESULT SafeArrayLock(SAFEARRAY* array) {
  return ::SafeArrayLock(Real(array));
}
HRESULT SafeArrayUnlock(SAFEARRAY* array) {
  return ::SafeArrayUnlock(Real(array));
}
HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data) {
  return ::SafeArrayAccessData(Real(array), data);
}
HRESULT SafeArrayUnaccessData(SAFEARRAY* array) {
  return ::SafeArrayUnaccessData(Real(array));
}
HRESULT SafeArrayGetElement(SAFEARRAY* array, const LONG* indices, void* value) {
  return ::SafeArrayGetElement(
      Real(array), const_cast<::LONG*>(reinterpret_cast<const ::LONG*>(indices)), value);
}
HRESULT SafeArrayPutElement(SAFEARRAY* array, const LONG* indices, const void* value) {
  return ::SafeArrayPutElement(Real(array),
                               const_cast<::LONG*>(reinterpret_cast<const ::LONG*>(indices)),
                               const_cast<void*>(value));
}
HRESULT SafeArrayRedim(SAFEARRAY* array, const SAFEARRAYBOUND* lastDimension) {
  return ::SafeArrayRedim(
      Real(array),
      const_cast<::SAFEARRAYBOUND*>(reinterpret_cast<const ::SAFEARRAYBOUND*>(lastDimension)));
}

}  // namespace orvex
