// Python values to VARIANTs and back: numbers, texts, byte and value arrays, objects as
// proxies (library objects) or as IDispatch wrappers (Python objects).
#include "conversions.h"

#include <climits>
#include <cstring>

#include "platform/ole/oleauto.h"
#include "platform/text/text.h"
#include "proxy.h"
#include "python_dispatch.h"

namespace orvex::python {

py::object* automationError = nullptr;

py::object MakeAutomationError(py::object number, const std::string& description,
                               const std::string& source) {
  py::object exception = (*automationError)(description);
  exception.attr("number") = std::move(number);
  exception.attr("description") = description;
  exception.attr("source") = source;
  return exception;
}

[[noreturn]] void Raise(const RuntimeError& error) {
  const py::object exception =
      MakeAutomationError(py::int_(error.Number()), error.Description(), error.Source());
  PyErr_SetObject(automationError->ptr(), exception.ptr());
  throw py::error_already_set();
}

Variant ToVariant(py::handle value) {
  if (value.is_none()) return Variant();
  if (py::isinstance<NullType>(value)) return Variant::Null();
  if (py::isinstance<py::bool_>(value)) return Variant(value.cast<bool>());
  if (py::isinstance<py::int_>(value)) {
    const long long number = value.cast<long long>();
    if (number < INT32_MIN || number > INT32_MAX) Raise(RuntimeError(Err::Overflow));
    return Variant(static_cast<int32_t>(number));
  }
  if (py::isinstance<py::float_>(value)) return Variant(value.cast<double>());
  if (py::isinstance<py::str>(value)) return Variant(Utf8ToUtf16(value.cast<std::string>()));
  if (py::isinstance<py::bytes>(value) || py::isinstance<py::bytearray>(value) ||
      py::isinstance<py::memoryview>(value)) {
    const std::string bytes = py::bytes(py::reinterpret_borrow<py::object>(value));
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
    if (!bytes.empty()) std::memcpy(array->pvData, bytes.data(), bytes.size());
    return Variant::FromArray(array);
  }
  if (py::isinstance<Proxy>(value)) return Variant(value.cast<Proxy&>().Get());
  if (py::isinstance<py::list>(value) || py::isinstance<py::tuple>(value)) {
    const py::sequence items = py::reinterpret_borrow<py::sequence>(value);
    SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(items.size()));
    auto* cells = static_cast<VARIANT*>(array->pvData);
    for (size_t i = 0; i < items.size(); ++i) cells[i] = ToVariant(items[i]).Detach();
    return Variant::FromArray(array);
  }
  // Any other object: the library may call its attributes by name.
  auto* wrapper = new PythonDispatch(py::reinterpret_borrow<py::object>(value));
  Variant result(static_cast<IDispatch*>(wrapper));
  wrapper->Release();
  return result;
}

py::object FromVariant(const VARIANT& in) {
  Variant value;
  VariantCopyInd(&value, &in);
  switch (value.vt) {
    case VT_EMPTY:
      return py::none();
    case VT_NULL:
      return py::cast(NullType{});
    case VT_BOOL:
      return py::bool_(value.boolVal != VARIANT_FALSE);
    case VT_BSTR:
      return py::str(Utf16ToUtf8(value.bstrVal ? value.bstrVal : u""));
    case VT_R4:
      return py::float_(value.fltVal);
    case VT_R8:
      return py::float_(value.dblVal);
    case VT_DISPATCH:
      if (!value.pdispVal) return py::none();
      return py::cast(Proxy(ComPtr<IDispatch>(value.pdispVal)));
    case VT_UNKNOWN: {
      if (!value.punkVal) return py::none();
      void* raw = nullptr;
      if (value.punkVal->QueryInterface(IID_IDispatch, &raw) >= 0 && raw) {
        return py::cast(Proxy(ComPtr<IDispatch>::Attach(static_cast<IDispatch*>(raw))));
      }
      if (value.punkVal->QueryInterface(IID_IEnumVARIANT, &raw) >= 0 && raw) {
        return py::cast(Enumerator{ComPtr<IEnumVARIANT>::Attach(static_cast<IEnumVARIANT*>(raw))});
      }
      Raise(RuntimeError(Err::UnsupportedAutomationType));
    }
    case VT_ARRAY | VT_UI1: {
      const Bytes bytes = ByteArrayView(value).Data();
      return py::bytes(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    case VT_ARRAY | VT_VARIANT: {
      py::list items;
      const SAFEARRAY* array = value.parray;
      if (array && array->pvData) {
        const auto* cells = static_cast<const VARIANT*>(array->pvData);
        for (ULONG i = 0; i < array->rgsabound[0].cElements; ++i)
          items.append(FromVariant(cells[i]));
      }
      return items;
    }
    default: {
      Variant number;
      if (VariantChangeType(&number, &value, 0, VT_I4) >= 0) return py::int_(number.lVal);
      if (VariantChangeType(&number, &value, 0, VT_R8) >= 0) return py::float_(number.dblVal);
      Raise(RuntimeError(Err::UnsupportedAutomationType));
    }
  }
}

}  // namespace orvex::python
