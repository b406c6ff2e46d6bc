// The orvex10 Python module: a script host over the library's automation objects. Objects
// are created by ProgID and driven only through IDispatch (GetIDsOfNames + Invoke), with
// Python values converted to and from VARIANTs; Python objects handed to the library are
// wrapped in an IDispatch of their own, so a script can pass its own controls.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "framework/q7halden10.h"
#include "host/host_kit.h"
#include "platform/ole/com_object.h"
#include "platform/ole/late_bound.h"
#include "platform/ole/oleauto.h"
#include "platform/text/text.h"
#include "platform/user/message_box.h"
#include "server/class_catalogue.h"

namespace py = pybind11;

namespace orvex::python {
namespace {

struct NullType {};

py::object* automationError = nullptr;

[[noreturn]] void Raise(const RuntimeError& error) {
  py::object exception = (*automationError)(error.Description());
  exception.attr("number") = error.Number();
  exception.attr("description") = error.Description();
  exception.attr("source") = error.Source();
  PyErr_SetObject(automationError->ptr(), exception.ptr());
  throw py::error_already_set();
}

class Proxy;
Variant ToVariant(py::handle value);
py::object FromVariant(const VARIANT& value);

// A Python object behind IDispatch: members are its attributes, found by name.
class PythonDispatch final : public ComObject<PythonDispatch, IDispatch> {
 public:
  explicit PythonDispatch(py::object target) : target_(std::move(target)) {}

  HRESULT GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    if (count == 0) return S_OK;
    py::gil_scoped_acquire gil;
    const std::string wanted = Utf16ToUtf8(names[0]);
    // Names match without regard to case, as a script host's do.
    std::string found;
    for (const py::handle name : py::module_::import("builtins").attr("dir")(target_)) {
      const std::string candidate = py::str(name);
      if (EqualsIgnoringCase(Utf8ToUtf16(candidate), Utf8ToUtf16(wanted))) found = candidate;
    }
    if (found.empty()) {
      ids[0] = DISPID_UNKNOWN;
      return DISP_E_UNKNOWNNAME;
    }
    for (size_t i = 0; i < names_.size(); ++i) {
      if (names_[i] == found) {
        ids[0] = static_cast<DISPID>(i + 1);
        return S_OK;
      }
    }
    names_.push_back(found);
    ids[0] = static_cast<DISPID>(names_.size());
    return S_OK;
  }
  HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                 EXCEPINFO* exception, UINT*) override {
    if (id < 1 || static_cast<size_t>(id) > names_.size()) return DISP_E_MEMBERNOTFOUND;
    py::gil_scoped_acquire gil;
    const std::string& name = names_[static_cast<size_t>(id - 1)];
    try {
      py::list args;
      for (UINT i = params ? params->cArgs : 0; i-- > 0;)
        args.append(FromVariant(params->rgvarg[i]));
      if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        py::setattr(target_, name.c_str(), args[args.size() - 1]);
        return S_OK;
      }
      py::object member = target_.attr(name.c_str());
      py::object value = (PyCallable_Check(member.ptr()) && (flags & DISPATCH_METHOD))
                             ? member(*py::tuple(args))
                             : member;
      if (result) *result = ToVariant(value).Detach();
      return S_OK;
    } catch (py::error_already_set& error) {
      if (exception) {
        *exception = {};
        exception->scode = static_cast<SCODE>(0x800A0000u | 440);
        exception->bstrDescription = Bstr(Utf8ToUtf16(error.what())).Detach();
      }
      return DISP_E_EXCEPTION;
    }
  }

 private:
  friend ComObject;
  ~PythonDispatch() {
    py::gil_scoped_acquire gil;
    target_ = py::object();
  }
  py::object target_;
  std::vector<std::string> names_;
};

// The Python face of an automation object.
class Proxy {
 public:
  explicit Proxy(ComPtr<IDispatch> object) : object_(std::move(object)) {}
  IDispatch* Get() const { return object_.Get(); }

  DISPID IdOf(const std::string& name) const {
    try {
      return GetDispId(object_.Get(), name);
    } catch (const RuntimeError& error) {
      throw py::attribute_error(error.Description());
    }
  }

  // A method, or a property that takes arguments, is called later; a plain property is read.
  bool NeedsCall(DISPID id) const {
    ComPtr<ITypeInfo> info;
    ITypeInfo* raw = nullptr;
    if (object_->GetTypeInfo(0, 0, &raw) < 0 || !raw) return false;
    info = ComPtr<ITypeInfo>::Attach(raw);
    const TYPEATTR* attr = nullptr;
    if (info->GetTypeAttr(&attr) < 0 || !attr) return false;
    for (UINT i = 0; i < attr->cFuncs; ++i) {
      const FUNCDESC* desc = nullptr;
      if (info->GetFuncDesc(i, &desc) < 0 || !desc || desc->memid != id) continue;
      if (desc->invkind == INVOKE_FUNC) return true;
      if (desc->invkind == INVOKE_PROPERTYGET && desc->cParams > 0) return true;
    }
    return false;
  }

  py::object Invoke(DISPID id, WORD flags, std::vector<Variant> args) const {
    std::reverse(args.begin(), args.end());
    DISPPARAMS params{args.empty() ? nullptr : args.data(), nullptr, static_cast<UINT>(args.size()),
                      0};
    DISPID named = DISPID_PROPERTYPUT;
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
      params.rgdispidNamedArgs = &named;
      params.cNamedArgs = 1;
    }
    Variant result;
    EXCEPINFO exception{};
    HRESULT hr;
    {
      py::gil_scoped_release release;
      hr = object_->Invoke(id, IID_NULL, 0, flags, &params, &result, &exception, nullptr);
    }
    if (hr < 0) {
      try {
        ThrowInvokeFailure(hr, exception);
      } catch (const RuntimeError& error) {
        Raise(error);
      }
    }
    return FromVariant(result);
  }

 private:
  ComPtr<IDispatch> object_;
};

// A member to call: obj.Method(...) or obj.Method.call_byref(...).
struct BoundMember {
  Proxy proxy;
  DISPID id;
  std::string name;

  py::object Call(py::args args, bool byRef) const {
    std::vector<Variant> values;
    for (const py::handle arg : args) values.push_back(ToVariant(arg));
    if (!byRef) return proxy.Invoke(id, DISPATCH_METHOD | DISPATCH_PROPERTYGET, std::move(values));
    // By reference: each argument is a variable the callee may change.
    std::vector<Variant> cells = std::move(values);
    std::vector<Variant> refs;
    for (Variant& cell : cells) refs.push_back(Variant::RefTo(static_cast<VARIANT&>(cell)));
    py::object result = proxy.Invoke(id, DISPATCH_METHOD | DISPATCH_PROPERTYGET, std::move(refs));
    py::list out;
    out.append(result);
    for (const Variant& cell : cells) out.append(FromVariant(cell));
    return py::tuple(out);
  }
};

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
    case VT_ARRAY | VT_UI1: {
      const SAFEARRAY* array = value.parray;
      if (!array || !array->pvData) return py::bytes();
      return py::bytes(static_cast<const char*>(array->pvData), array->rgsabound[0].cElements);
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

void RegisterOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterOrvex10Classes();
    RegisterQ7Halden10Classes();
    RegisterHostKitClasses();
    // Message boxes: shown on stderr, answered with their default button.
    SetMessageBoxHandler(&PrintMessageBoxToStderr);
  });
}

}  // namespace
}  // namespace orvex::python

PYBIND11_MODULE(orvex10, m) {
  using namespace orvex::python;
  using orvex::ComPtr;
  using orvex::IDispatch;
  m.doc() = "Windows PE resources through the Orvex10 automation objects";
  static py::object error = py::reinterpret_borrow<py::object>(
      PyErr_NewException("orvex10.AutomationError", PyExc_RuntimeError, nullptr));
  automationError = &error;
  m.attr("AutomationError") = error;
  py::class_<NullType>(m, "NullType").def("__repr__", [](const NullType&) { return "Null"; });
  m.attr("Null") = NullType{};

  py::class_<BoundMember>(m, "BoundMember")
      .def("__call__", [](const BoundMember& b, py::args args) { return b.Call(args, false); })
      .def("call_byref", [](const BoundMember& b, py::args args) { return b.Call(args, true); })
      .def("__repr__", [](const BoundMember& b) { return "<member " + b.name + ">"; });

  py::class_<Proxy>(m, "Object")
      .def("__getattr__",
           [](const Proxy& p, const std::string& name) -> py::object {
             const orvex::DISPID id = p.IdOf(name);
             if (p.NeedsCall(id)) return py::cast(BoundMember{p, id, name});
             return p.Invoke(id, orvex::DISPATCH_PROPERTYGET, {});
           })
      .def("__setattr__",
           [](const Proxy& p, const std::string& name, py::handle value) {
             const orvex::DISPID id = p.IdOf(name);
             const bool object = py::isinstance<Proxy>(value);
             std::vector<orvex::Variant> args;
             args.push_back(ToVariant(value));
             p.Invoke(id, object ? orvex::DISPATCH_PROPERTYPUTREF : orvex::DISPATCH_PROPERTYPUT,
                      std::move(args));
           })
      .def("__len__", [](const Proxy& p) {
        return p.Invoke(p.IdOf("Count"), orvex::DISPATCH_PROPERTYGET, {}).cast<int>();
      });

  m.def(
      "Dispatch",
      [](const std::string& progId) {
        RegisterOnce();
        try {
          return Proxy(orvex::CreateObject(orvex::Utf8ToUtf16(progId)));
        } catch (const orvex::RuntimeError& e) {
          Raise(e);
        }
      },
      py::arg("progid"), "Creates an automation object by its ProgID.");
}
