// SAFEARRAY: creation, copies, bounds, locks and element access of the runtime's arrays. A
// 16-byte header holding the element type precedes each descriptor.
#include "platform/ole/oleauto.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "base/huge_pages.h"
#include "platform/ole/large_blocks.h"
#include "platform/ole/unknown.h"
#include "platform/ole/variant_internal.h"

namespace orvex {

// The size of an interface pointer as an element of an array (copied with memcpy: elements
// need not be aligned for the pointer type).
constexpr size_t kPointerSize = sizeof(void*);

namespace {

constexpr size_t kHeader = 16;

size_t DescriptorSize(UINT dims) {
  return sizeof(SAFEARRAY) + (dims - 1) * sizeof(SAFEARRAYBOUND);
}

VARTYPE& StoredType(SAFEARRAY* array) {
  return *reinterpret_cast<VARTYPE*>(reinterpret_cast<char*>(array) - kHeader);
}

bool ElementCount(const SAFEARRAY* array, size_t* count) {
  size_t total = 1;
  for (USHORT i = 0; i < array->cDims; ++i) {
    size_t n = array->rgsabound[i].cElements;
    if (n != 0 && total > std::numeric_limits<size_t>::max() / n) return false;
    total *= n;
  }
  *count = total;
  return true;
}

// Releases what elements [from, to) own: strings, variants and interfaces. Arrays of
// plain values own nothing and are not walked.
void ReleaseElements(SAFEARRAY* array, size_t from, size_t to) {
  const VARTYPE vt = StoredType(array);
  if (vt != VT_BSTR && vt != VT_VARIANT && vt != VT_DISPATCH && vt != VT_UNKNOWN) return;
  auto* data = static_cast<char*>(array->pvData);
  for (size_t i = from; i < to; ++i) {
    void* element = data + i * array->cbElements;
    if (vt == VT_BSTR) {
      BSTR s;
      std::memcpy(&s, element, sizeof s);
      SysFreeString(s);
    } else if (vt == VT_VARIANT) {
      VariantClear(static_cast<VARIANT*>(element));
    } else if (vt == VT_DISPATCH || vt == VT_UNKNOWN) {
      IUnknown* p;
      std::memcpy(&p, element, kPointerSize);
      if (p) p->Release();
    }
  }
}

// ReleaseElements, then zeroes the elements.
void ClearElements(SAFEARRAY* array, size_t from, size_t to) {
  ReleaseElements(array, from, to);
  std::memset(static_cast<char*>(array->pvData) + from * array->cbElements, 0,
              (to - from) * array->cbElements);
}

HRESULT ElementPointer(SAFEARRAY* array, const LONG* indices, void** element) {
  if (array == nullptr || indices == nullptr) return E_INVALIDARG;
  size_t offset = 0, stride = 1;
  // rgsabound[cDims - 1] is the leftmost dimension, which varies fastest in memory.
  for (int d = array->cDims - 1; d >= 0; --d) {
    const SAFEARRAYBOUND& b = array->rgsabound[d];
    int64_t rel = int64_t(indices[d]) - b.lLbound;
    if (rel < 0 || rel >= int64_t(b.cElements)) return DISP_E_BADINDEX;
    offset += size_t(rel) * stride;
    stride *= b.cElements;
  }
  *element = static_cast<char*>(array->pvData) + offset * array->cbElements;
  return S_OK;
}

}  // namespace

SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT dims, const SAFEARRAYBOUND* bounds) {
  size_t elementSize = ScalarSize(vt);
  if (dims == 0 || dims > 60 || bounds == nullptr || elementSize == 0) return nullptr;
  if (vt == VT_EMPTY || vt == VT_NULL) return nullptr;
  auto* block = static_cast<char*>(std::calloc(1, kHeader + DescriptorSize(dims)));
  if (block == nullptr) return nullptr;
  auto* array = reinterpret_cast<SAFEARRAY*>(block + kHeader);
  StoredType(array) = vt;
  array->cDims = static_cast<USHORT>(dims);
  array->cbElements = static_cast<ULONG>(elementSize);
  array->fFeatures = FADF_HAVEVARTYPE | (vt == VT_BSTR       ? FADF_BSTR
                                         : vt == VT_VARIANT  ? FADF_VARIANT
                                         : vt == VT_DISPATCH ? FADF_DISPATCH
                                         : vt == VT_UNKNOWN  ? FADF_UNKNOWN
                                                             : 0);
  for (UINT i = 0; i < dims; ++i) array->rgsabound[dims - 1 - i] = bounds[i];
  size_t count = 0;
  if (!ElementCount(array, &count) || count > std::numeric_limits<size_t>::max() / elementSize) {
    std::free(block);
    return nullptr;
  }
  if (count != 0) {
    array->pvData = ole_detail::AllocateZeroedBlock(count * elementSize);
    if (array->pvData == nullptr) {
      std::free(block);
      return nullptr;
    }
    // Large arrays (resources copied out of a module) are filled next: fewer faults.
    PreferHugePages(array->pvData, count * elementSize);
  }
  return array;
}

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lowerBound, ULONG elements) {
  SAFEARRAYBOUND bound{elements, lowerBound};
  return SafeArrayCreate(vt, 1, &bound);
}

HRESULT SafeArrayDestroy(SAFEARRAY* array) {
  if (array == nullptr) return S_OK;
  if (array->cLocks != 0) return DISP_E_ARRAYISLOCKED;
  size_t count = 0;
  ElementCount(array, &count);
  if (array->pvData != nullptr) {
    ReleaseElements(array, 0, count);
    ole_detail::FreeBlock(array->pvData);
  }
  std::free(reinterpret_cast<char*>(array) - kHeader);
  return S_OK;
}

HRESULT SafeArrayCopy(SAFEARRAY* source, SAFEARRAY** copy) {
  if (source == nullptr || copy == nullptr) return E_INVALIDARG;
  *copy = nullptr;
  std::vector<SAFEARRAYBOUND> bounds(source->cDims);
  for (USHORT i = 0; i < source->cDims; ++i) bounds[i] = source->rgsabound[source->cDims - 1 - i];
  VARTYPE vt = StoredType(source);
  SAFEARRAY* out = SafeArrayCreate(vt, source->cDims, bounds.data());
  if (out == nullptr) return E_OUTOFMEMORY;
  size_t count = 0;
  ElementCount(source, &count);
  auto* from = static_cast<char*>(source->pvData);
  auto* to = static_cast<char*>(out->pvData);
  for (size_t i = 0; i < count; ++i) {
    char* s = from + i * source->cbElements;
    char* d = to + i * out->cbElements;
    if (vt == VT_BSTR) {
      BSTR text;
      std::memcpy(&text, s, sizeof text);
      BSTR dup = text ? SysAllocStringByteLen(reinterpret_cast<char*>(text), SysStringByteLen(text))
                      : nullptr;
      std::memcpy(d, &dup, sizeof dup);
    } else if (vt == VT_VARIANT) {
      HRESULT hr = VariantCopy(reinterpret_cast<VARIANT*>(d), reinterpret_cast<VARIANT*>(s));
      if (FAILED(hr)) {
        SafeArrayDestroy(out);
        return hr;
      }
    } else {
      std::memcpy(d, s, source->cbElements);
      if (vt == VT_DISPATCH || vt == VT_UNKNOWN) {
        IUnknown* p;
        std::memcpy(&p, d, kPointerSize);
        if (p) p->AddRef();
      }
    }
  }
  *copy = out;
  return S_OK;
}

UINT SafeArrayGetDim(SAFEARRAY* array) {
  return array ? array->cDims : 0;
}
UINT SafeArrayGetElemsize(SAFEARRAY* array) {
  return array ? array->cbElements : 0;
}

HRESULT SafeArrayGetVartype(SAFEARRAY* array, VARTYPE* vt) {
  if (array == nullptr || vt == nullptr) return E_INVALIDARG;
  *vt = StoredType(array);
  return S_OK;
}

HRESULT SafeArrayGetLBound(SAFEARRAY* array, UINT dim, LONG* bound) {
  if (array == nullptr || bound == nullptr) return E_INVALIDARG;
  if (dim < 1 || dim > array->cDims) return DISP_E_BADINDEX;
  *bound = array->rgsabound[array->cDims - dim].lLbound;
  return S_OK;
}

HRESULT SafeArrayGetUBound(SAFEARRAY* array, UINT dim, LONG* bound) {
  if (array == nullptr || bound == nullptr) return E_INVALIDARG;
  if (dim < 1 || dim > array->cDims) return DISP_E_BADINDEX;
  const SAFEARRAYBOUND& b = array->rgsabound[array->cDims - dim];
  *bound = static_cast<LONG>(int64_t(b.lLbound) + int64_t(b.cElements) - 1);
  return S_OK;
}

HRESULT SafeArrayLock(SAFEARRAY* array) {
  if (array == nullptr) return E_INVALIDARG;
  ++array->cLocks;
  return S_OK;
}

HRESULT SafeArrayUnlock(SAFEARRAY* array) {
  if (array == nullptr) return E_INVALIDARG;
  if (array->cLocks == 0) return E_UNEXPECTED;
  --array->cLocks;
  return S_OK;
}

HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data) {
  if (array == nullptr || data == nullptr) return E_INVALIDARG;
  ++array->cLocks;
  *data = array->pvData;
  return S_OK;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* array) {
  return SafeArrayUnlock(array);
}

HRESULT SafeArrayGetElement(SAFEARRAY* array, const LONG* indices, void* value) {
  void* element = nullptr;
  HRESULT hr = ElementPointer(array, indices, &element);
  if (FAILED(hr)) return hr;
  VARTYPE vt = StoredType(array);
  if (vt == VT_VARIANT) {
    auto* out = static_cast<VARIANT*>(value);
    VariantInit(out);
    return VariantCopy(out, static_cast<VARIANT*>(element));
  }
  if (vt == VT_BSTR) {
    BSTR text;
    std::memcpy(&text, element, sizeof text);
    BSTR dup = text ? SysAllocStringByteLen(reinterpret_cast<char*>(text), SysStringByteLen(text))
                    : nullptr;
    if (text && !dup) return E_OUTOFMEMORY;
    std::memcpy(value, &dup, sizeof dup);
    return S_OK;
  }
  std::memcpy(value, element, array->cbElements);
  if (vt == VT_DISPATCH || vt == VT_UNKNOWN) {
    IUnknown* p;
    std::memcpy(&p, value, kPointerSize);
    if (p) p->AddRef();
  }
  return S_OK;
}

HRESULT SafeArrayPutElement(SAFEARRAY* array, const LONG* indices, const void* value) {
  void* element = nullptr;
  HRESULT hr = ElementPointer(array, indices, &element);
  if (FAILED(hr)) return hr;
  VARTYPE vt = StoredType(array);
  if (vt == VT_VARIANT)
    return VariantCopy(static_cast<VARIANT*>(element), static_cast<const VARIANT*>(value));
  if (vt == VT_BSTR) {
    BSTR text = const_cast<BSTR>(static_cast<const OLECHAR*>(value));
    BSTR dup = text ? SysAllocStringByteLen(reinterpret_cast<char*>(text), SysStringByteLen(text))
                    : nullptr;
    if (text && !dup) return E_OUTOFMEMORY;
    BSTR old;
    std::memcpy(&old, element, kPointerSize);
    SysFreeString(old);
    std::memcpy(element, &dup, sizeof dup);
    return S_OK;
  }
  if (vt == VT_DISPATCH || vt == VT_UNKNOWN) {
    auto* p = const_cast<IUnknown*>(static_cast<const IUnknown*>(value));
    if (p) p->AddRef();
    IUnknown* old;
    std::memcpy(&old, element, kPointerSize);
    if (old) old->Release();
    std::memcpy(element, &p, kPointerSize);
    return S_OK;
  }
  std::memcpy(element, value, array->cbElements);
  return S_OK;
}

HRESULT SafeArrayRedim(SAFEARRAY* array, const SAFEARRAYBOUND* lastDimension) {
  if (array == nullptr || lastDimension == nullptr) return E_INVALIDARG;
  if (array->cLocks != 0) return DISP_E_ARRAYISLOCKED;
  // The leftmost dimension is stored last and varies fastest; only 1-D arrays can keep
  // their elements across a resize here.
  if (array->cDims != 1) return E_NOTIMPL;
  size_t oldCount = array->rgsabound[0].cElements;
  size_t newCount = lastDimension->cElements;
  if (newCount < oldCount) ClearElements(array, newCount, oldCount);
  void* data = newCount == 0
                   ? nullptr
                   : ole_detail::ReallocateBlock(array->pvData, newCount * array->cbElements);
  if (newCount != 0 && data == nullptr) return E_OUTOFMEMORY;
  if (newCount == 0) ole_detail::FreeBlock(array->pvData);
  if (newCount > oldCount)
    std::memset(static_cast<char*>(data) + oldCount * array->cbElements, 0,
                (newCount - oldCount) * array->cbElements);
  array->pvData = data;
  array->rgsabound[0] = *lastDimension;
  return S_OK;
}

}  // namespace orvex
