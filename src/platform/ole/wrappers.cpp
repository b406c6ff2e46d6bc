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
  if (base != VT_DISPATCH && base != VT_UNKNOWN) throw RuntimeError(13, "Type mismatch");
  IUnknown* object = (v.vt & VT_BYREF) ? *v.ppunkVal : v.punkVal;
  if (object == nullptr) return nullptr;
  ComPtr<IDispatch> out;
  if (FAILED(object->QueryInterface(IID_IDispatch, out.PutVoid())))
    throw RuntimeError(13, "Type mismatch");
  return out;
}

int32_t ErrorNumberOf(HRESULT hr) {
  if ((static_cast<uint32_t>(hr) & 0xFFFF0000u) == 0x800A0000u) return hr & 0xFFFF;
  switch (hr) {
    case DISP_E_TYPEMISMATCH:
      return 13;
    case DISP_E_OVERFLOW:
      return 6;
    case DISP_E_BADINDEX:
      return 9;
    case DISP_E_ARRAYISLOCKED:
      return 10;
    case E_OUTOFMEMORY:
      return 7;
    case E_INVALIDARG:
      return 5;
    case DISP_E_PARAMNOTFOUND:
      return 448;
    case DISP_E_PARAMNOTOPTIONAL:
      return 449;
    case DISP_E_BADPARAMCOUNT:
      return 450;
    case DISP_E_MEMBERNOTFOUND:
    case DISP_E_UNKNOWNNAME:
      return 438;
    case DISP_E_NONAMEDARGS:
      return 446;
    case DISP_E_BADVARTYPE:
      return 458;
    case E_NOINTERFACE:
      return 430;
    case REGDB_E_CLASSNOTREG:
    case CO_E_CLASSSTRING:
    case CO_E_DLLNOTFOUND:
    case CO_E_ERRORINDLL:
    case CLASS_E_CLASSNOTAVAILABLE:
      return 429;
    default:
      return 440;
  }
}

std::string ErrorDescriptionOf(int32_t number) {
  switch (number) {
    case 5:
      return "Invalid procedure call or argument";
    case 6:
      return "Overflow";
    case 7:
      return "Out of memory";
    case 9:
      return "Subscript out of range";
    case 10:
      return "This array is fixed or temporarily locked";
    case 11:
      return "Division by zero";
    case 13:
      return "Type mismatch";
    case 51:
      return "Internal error";
    case 52:
      return "Bad file name or number";
    case 53:
      return "File not found";
    case 75:
      return "Path/File access error";
    case 76:
      return "Path not found";
    case 91:
      return "Object variable or With block variable not set";
    case 94:
      return "Invalid use of Null";
    case 424:
      return "Object required";
    case 429:
      return "Can't create object";
    case 430:
      return "Class does not support Automation or does not support expected interface";
    case 438:
      return "Object doesn't support this property or method";
    case 440:
      return "Automation error";
    case 445:
      return "Object doesn't support this action";
    case 446:
      return "Object doesn't support named arguments";
    case 448:
      return "Named argument not found";
    case 449:
      return "Argument not optional";
    case 450:
      return "Wrong number of arguments or invalid property assignment";
    case 458:
      return "Variable uses an Automation type not supported";
    default:
      return "Application-defined or object-defined error";
  }
}

void ThrowIfFailed(HRESULT hr) {
  if (SUCCEEDED(hr)) return;
  int32_t number = ErrorNumberOf(hr);
  std::string description = ErrorDescriptionOf(number);
  if (number == 440 || number == 429) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(hr));
    description += std::string(" (") + code + ")";
  }
  throw RuntimeError(number, description);
}

}  // namespace orvex
