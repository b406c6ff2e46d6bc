#include "platform/ole/wrappers.h"

#include <cstdio>

#include "base/runtime_error.h"

namespace orvex {

Variant Variant::FromArray(SafeArray array) {
  Variant v;
  if (!array) return v;
  VARTYPE element = VT_EMPTY;
  SafeArrayGetVartype(array.Get(), &element);
  v.vt = static_cast<VARTYPE>(VT_ARRAY | element);
  v.parray = array.Detach();
  return v;
}

void Variant::SetDispatch(IDispatch* object) {
  VariantClear(this);
  vt = VT_DISPATCH;
  pdispVal = object;
  if (object) object->AddRef();
}

Variant Variant::ChangedTo(VARTYPE type, USHORT flags) const {
  Variant out;
  ThrowIfFailed(VariantChangeType(&out, this, flags, type));
  return out;
}

int32_t Variant::ToLong() const {
  return ChangedTo(VT_I4).lVal;
}
int16_t Variant::ToInteger() const {
  return ChangedTo(VT_I2).iVal;
}
double Variant::ToDouble() const {
  return ChangedTo(VT_R8).dblVal;
}
bool Variant::ToBool() const {
  return ChangedTo(VT_BOOL).boolVal != 0;
}
std::u16string Variant::ToString() const {
  Variant text = ChangedTo(VT_BSTR, VARIANT_ALPHABOOL);
  return std::u16string(BstrView(text.bstrVal));
}

ComPtr<IDispatch> Variant::ToDispatch() const {
  const VARIANT& v = Deref();
  VARTYPE base = static_cast<VARTYPE>(v.vt & ~VT_BYREF);
  if (base == VT_EMPTY) return nullptr;
  if (base != VT_DISPATCH && base != VT_UNKNOWN) throw RuntimeError(Err::TypeMismatch);
  IUnknown* object = (v.vt & VT_BYREF) ? *v.ppunkVal : v.punkVal;
  if (object == nullptr) return nullptr;
  ComPtr<IDispatch> out;
  if (FAILED(object->QueryInterface(IID_IDispatch, out.PutVoid())))
    throw RuntimeError(Err::TypeMismatch);
  return out;
}

ByteArrayView::ByteArrayView(const VARIANT& value) {
  const VARIANT& v =
      value.vt == (VT_BYREF | VT_VARIANT) && value.pvarVal != nullptr ? *value.pvarVal : value;
  const SAFEARRAY* array = nullptr;
  if (v.vt == (VT_ARRAY | VT_UI1))
    array = v.parray;
  else if (v.vt == (VT_BYREF | VT_ARRAY | VT_UI1) && v.pparray != nullptr)
    array = *v.pparray;
  else
    return;
  byteArray_ = true;
  if (array == nullptr) return;
  allocated_ = true;
  size_t count = array->cDims == 0 ? 0 : 1;
  for (USHORT d = 0; d < array->cDims; ++d) count *= array->rgsabound[d].cElements;
  if (count == 0 || array->pvData == nullptr) return;
  bytes_ = AsBytes(array->pvData, count);
}

std::vector<uint8_t> ByteArrayView::Copy() const {
  const auto* first = reinterpret_cast<const uint8_t*>(bytes_.data());
  return std::vector<uint8_t>(first, first + bytes_.size());
}

int32_t ErrorNumberOf(HRESULT hr) {
  if (IsRuntimeErrorScode(hr)) return hr & 0xFFFF;
  switch (hr) {
    case DISP_E_TYPEMISMATCH:
      return ErrNumber(Err::TypeMismatch);
    case DISP_E_OVERFLOW:
      return ErrNumber(Err::Overflow);
    case DISP_E_BADINDEX:
      return ErrNumber(Err::SubscriptOutOfRange);
    case DISP_E_ARRAYISLOCKED:
      return ErrNumber(Err::ArrayLocked);
    case E_OUTOFMEMORY:
      return ErrNumber(Err::OutOfMemory);
    case E_INVALIDARG:
      return ErrNumber(Err::InvalidProcedureCall);
    case DISP_E_PARAMNOTFOUND:
      return ErrNumber(Err::NamedArgumentNotFound);
    case DISP_E_PARAMNOTOPTIONAL:
      return ErrNumber(Err::ArgumentNotOptional);
    case DISP_E_BADPARAMCOUNT:
      return ErrNumber(Err::WrongArgumentCount);
    case DISP_E_MEMBERNOTFOUND:
    case DISP_E_UNKNOWNNAME:
      return ErrNumber(Err::NoSuchPropertyOrMethod);
    case DISP_E_NONAMEDARGS:
      return ErrNumber(Err::NoNamedArguments);
    case DISP_E_BADVARTYPE:
      return ErrNumber(Err::UnsupportedAutomationType);
    case E_NOINTERFACE:
      return ErrNumber(Err::NoAutomationInterface);
    case REGDB_E_CLASSNOTREG:
    case CO_E_CLASSSTRING:
    case CO_E_DLLNOTFOUND:
    case CO_E_ERRORINDLL:
    case CLASS_E_CLASSNOTAVAILABLE:
      return ErrNumber(Err::CantCreateObject);
    default:
      return ErrNumber(Err::AutomationError);
  }
}

void ThrowIfFailed(HRESULT hr) {
  if (SUCCEEDED(hr)) return;
  const int32_t number = ErrorNumberOf(hr);
  // Failures without a run-time error of their own name the code they came with.
  if (number == ErrNumber(Err::AutomationError) || number == ErrNumber(Err::CantCreateObject)) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(hr));
    throw RuntimeError(static_cast<Err>(number), code);
  }
  throw RuntimeError(number, ErrText(number));
}

}  // namespace orvex
