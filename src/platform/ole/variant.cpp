// VARIANT: initialising, clearing and deep copies (by value and through a reference).
#include "platform/ole/oleauto.h"

#include <cstring>

#include "platform/ole/unknown.h"
#include "platform/ole/variant_internal.h"

namespace orvex {

void VariantInit(VARIANT* v) {
  v->vt = VT_EMPTY;
  v->wReserved1 = v->wReserved2 = v->wReserved3 = 0;
  v->llVal = 0;
  v->brecVal.pRecInfo = nullptr;
}

HRESULT VariantClear(VARIANT* v) {
  if (v == nullptr) return E_INVALIDARG;
  if ((v->vt & VT_BYREF) == 0) {
    if (v->vt & VT_ARRAY) {
      if (v->parray != nullptr) {
        HRESULT hr = SafeArrayDestroy(v->parray);
        if (FAILED(hr)) return hr;
      }
    } else {
      switch (v->vt) {
        case VT_BSTR:
          SysFreeString(v->bstrVal);
          break;
        case VT_DISPATCH:
        case VT_UNKNOWN:
          if (v->punkVal != nullptr) v->punkVal->Release();
          break;
        default:
          break;
      }
    }
  }
  VariantInit(v);
  return S_OK;
}

namespace {

bool IsKnownScalar(VARTYPE vt) {
  switch (vt) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_I2:
    case VT_I4:
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_ERROR:
    case VT_BOOL:
    case VT_UNKNOWN:
    case VT_I1:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_I8:
    case VT_UI8:
    case VT_INT:
    case VT_UINT:
      return true;
    default:
      return false;
  }
}

}  // namespace

size_t ScalarSize(VARTYPE vt) {
  switch (vt) {
    case VT_I1:
    case VT_UI1:
      return 1;
    case VT_I2:
    case VT_UI2:
    case VT_BOOL:
      return 2;
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_R4:
    case VT_ERROR:
      return 4;
    case VT_I8:
    case VT_UI8:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
      return 8;
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_UNKNOWN:
      return sizeof(void*);
    case VT_VARIANT:
      return sizeof(VARIANT);
    default:
      return 0;
  }
}

HRESULT VariantCopy(VARIANT* dest, const VARIANT* src) {
  if (dest == nullptr || src == nullptr) return E_INVALIDARG;
  if (dest == src) return S_OK;
  VARIANT copy = *src;  // src may live inside dest's value
  if ((copy.vt & VT_BYREF) == 0) {
    if (copy.vt & VT_ARRAY) {
      if (copy.parray != nullptr) {
        SAFEARRAY* arrayCopy = nullptr;
        HRESULT hr = SafeArrayCopy(copy.parray, &arrayCopy);
        if (FAILED(hr)) return hr;
        copy.parray = arrayCopy;
      }
    } else if (copy.vt == VT_BSTR) {
      if (copy.bstrVal != nullptr) {
        copy.bstrVal = SysAllocStringByteLen(reinterpret_cast<const char*>(copy.bstrVal),
                                             SysStringByteLen(copy.bstrVal));
        if (copy.bstrVal == nullptr) return E_OUTOFMEMORY;
      }
    } else if (copy.vt == VT_DISPATCH || copy.vt == VT_UNKNOWN) {
      if (copy.punkVal != nullptr) copy.punkVal->AddRef();
    } else if (!IsKnownScalar(copy.vt)) {
      return DISP_E_BADVARTYPE;
    }
  }
  VariantClear(dest);
  *dest = copy;
  return S_OK;
}

HRESULT VariantCopyInd(VARIANT* dest, const VARIANT* src) {
  if (dest == nullptr || src == nullptr) return E_INVALIDARG;
  if ((src->vt & VT_BYREF) == 0) return VariantCopy(dest, src);
  if (src->byref == nullptr) return E_INVALIDARG;
  VARTYPE base = static_cast<VARTYPE>(src->vt & ~VT_BYREF);
  VARIANT value;
  VariantInit(&value);
  if (base == VT_VARIANT) {
    const VARIANT* inner = src->pvarVal;
    if (inner->vt & VT_BYREF) return E_INVALIDARG;
    value = *inner;
  } else if (base & VT_ARRAY) {
    value.vt = base;
    value.parray = *src->pparray;
  } else {
    size_t size = ScalarSize(base);
    if (size == 0 || !IsKnownScalar(base)) return DISP_E_BADVARTYPE;
    value.vt = base;
    std::memcpy(&value.llVal, src->byref, size);
  }
  VARIANT result;
  VariantInit(&result);
  HRESULT hr = VariantCopy(&result, &value);  // value is a borrowed view
  if (FAILED(hr)) return hr;
  VariantClear(dest);
  *dest = result;
  return S_OK;
}

}  // namespace orvex
