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
#include "host/picture_image.h"
#include "platform/ole/com_object.h"
#include "platform/ole/late_bound.h"
#include "platform/ole/oleauto.h"
#include "platform/ole/wrappers.h"
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

// Python iteration over an IEnumVARIANT.
struct Enumerator {
  ComPtr<IEnumVARIANT> items;
};
py::object FromVariant(const VARIANT& value);

// A Python object behind IDispatch: members are its attributes, found by name.
class PythonDispatch final : public ComObject<PythonDispatch, IDispatch> {
 public:
  explicit PythonDispatch(py::object target) : target_(std::move(target)) {}

  HRESULT ORVEX_COM_CALL GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT ORVEX_COM_CALL GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT ORVEX_COM_CALL GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                       DISPID* ids) override {
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
  HRESULT ORVEX_COM_CALL Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                VARIANT* result, EXCEPINFO* exception, UINT*) override {
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

  // The DISPIDs of a member's parameters by name (keyword arguments).
  std::vector<DISPID> ParamIds(const std::string& member,
                               const std::vector<std::string>& params) const {
    std::vector<std::u16string> texts{Utf8ToUtf16(member)};
    for (const std::string& p : params) texts.push_back(Utf8ToUtf16(p));
    std::vector<LPOLESTR> names;
    for (std::u16string& t : texts) names.push_back(t.data());
    std::vector<DISPID> ids(names.size(), DISPID_UNKNOWN);
    if (object_->GetIDsOfNames(IID_NULL, names.data(), static_cast<UINT>(names.size()), 0,
                               ids.data()) < 0) {
      Raise(RuntimeError(Err::NamedArgumentNotFound, member));
    }
    return std::vector<DISPID>(ids.begin() + 1, ids.end());
  }

  // One line per member: "Name(param, param)" for methods, "Name" for properties.
  std::string Describe() const {
    std::string out;
    ITypeInfo* raw = nullptr;
    if (object_->GetTypeInfo(0, 0, &raw) < 0 || !raw) return "An automation object.";
    auto info = ComPtr<ITypeInfo>::Attach(raw);
    BSTR name = nullptr;
    if (info->GetDocumentation(-1, &name, nullptr, nullptr, nullptr) >= 0) {
      out = Utf16ToUtf8(Bstr::Attach(name).View()) + " members:\n";
    }
    const TYPEATTR* attr = nullptr;
    if (info->GetTypeAttr(&attr) < 0 || !attr) return out;
    std::vector<std::string> seen;
    for (UINT i = 0; i < attr->cFuncs; ++i) {
      const FUNCDESC* desc = nullptr;
      if (info->GetFuncDesc(i, &desc) < 0 || !desc) continue;
      BSTR names[16] = {};
      UINT count = 0;
      if (info->GetNames(desc->memid, names, 16, &count) < 0 || count == 0) continue;
      std::vector<std::string> texts;
      for (UINT n = 0; n < count; ++n) texts.push_back(Utf16ToUtf8(Bstr::Attach(names[n]).View()));
      std::string line = "  " + texts[0];
      if (desc->invkind == INVOKE_PROPERTYPUT || desc->invkind == INVOKE_PROPERTYPUTREF) {
        line += " = value";
      } else if (desc->invkind == INVOKE_FUNC || desc->cParams > 0) {
        line += "(";
        for (size_t n = 1; n < texts.size() && static_cast<SHORT>(n) <= desc->cParams; ++n) {
          line += (n > 1 ? ", " : "") + texts[n];
        }
        line += ")";
      }
      if (std::find(seen.begin(), seen.end(), line) != seen.end()) continue;
      seen.push_back(line);
      out += line + "\n";
    }
    return out;
  }

  // The names of the object's members, from its type information.
  std::vector<std::string> MemberNames() const {
    std::vector<std::string> out;
    ITypeInfo* raw = nullptr;
    if (object_->GetTypeInfo(0, 0, &raw) < 0 || !raw) return out;
    auto info = ComPtr<ITypeInfo>::Attach(raw);
    const TYPEATTR* attr = nullptr;
    if (info->GetTypeAttr(&attr) < 0 || !attr) return out;
    for (UINT i = 0; i < attr->cFuncs; ++i) {
      const FUNCDESC* desc = nullptr;
      if (info->GetFuncDesc(i, &desc) < 0 || !desc) continue;
      BSTR name = nullptr;
      UINT count = 0;
      if (info->GetNames(desc->memid, &name, 1, &count) >= 0 && count == 1) {
        const Bstr owned = Bstr::Attach(name);
        const std::string text = Utf16ToUtf8(owned.View());
        if (std::find(out.begin(), out.end(), text) == out.end()) out.push_back(text);
      }
    }
    return out;
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

  // `named` holds the DISPIDs of the last named.size() arguments (keyword arguments).
  py::object Invoke(DISPID id, WORD flags, std::vector<Variant> args,
                    std::vector<DISPID> named = {}) const {
    // DISPPARAMS lists the named arguments first, then the positional ones last to first.
    const size_t positional = args.size() - named.size();
    std::vector<Variant> ordered;
    for (size_t i = positional; i < args.size(); ++i) ordered.push_back(std::move(args[i]));
    for (size_t i = positional; i-- > 0;) ordered.push_back(std::move(args[i]));
    args = std::move(ordered);
    DISPPARAMS params{args.empty() ? nullptr : args.data(), nullptr, static_cast<UINT>(args.size()),
                      0};
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) named = {DISPID_PROPERTYPUT};
    if (!named.empty()) {
      params.rgdispidNamedArgs = named.data();
      params.cNamedArgs = static_cast<UINT>(named.size());
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

  py::object Call(py::args args, py::kwargs kwargs, bool byRef) const {
    std::vector<Variant> values;
    for (const py::handle arg : args) values.push_back(ToVariant(arg));
    std::vector<std::string> keywords;
    for (const auto& [key, value] : kwargs) {
      keywords.push_back(py::str(key));
      values.push_back(ToVariant(value));
    }
    std::vector<DISPID> named =
        keywords.empty() ? std::vector<DISPID>{} : proxy.ParamIds(name, keywords);
    if (!byRef) {
      return proxy.Invoke(id, DISPATCH_METHOD | DISPATCH_PROPERTYGET, std::move(values),
                          std::move(named));
    }
    // By reference: each argument is a variable the callee may change.
    std::vector<Variant> cells = std::move(values);
    std::vector<Variant> refs;
    for (Variant& cell : cells) refs.push_back(Variant::RefTo(static_cast<VARIANT&>(cell)));
    py::object result =
        proxy.Invoke(id, DISPATCH_METHOD | DISPATCH_PROPERTYGET, std::move(refs), std::move(named));
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

// Callables set by on_report and on_message_box (None: the defaults).
py::object* reportHandler = nullptr;
py::object* messageBoxHandler = nullptr;

// Stands in for the framework's error handler: each report of a failed step reaches the
// Python callable set with on_report (default: warnings.warn).
class ReportHandler final : public Dispatchable {
 public:
  using Dispatchable::Dispatchable;
  int32_t ErrorHandlerMessageQ7(ComPtr<IDispatch>, ComPtr<IDispatch> error, std::u16string_view,
                                std::u16string_view source, int32_t, std::u16string_view, int32_t,
                                const VARIANT&) {
    py::gil_scoped_acquire gil;
    const auto read = [&](const char* member) {
      try {
        return GetProperty(error.Get(), member);
      } catch (const RuntimeError&) {
        return Variant();
      }
    };
    const py::object number = FromVariant(read("Number"));
    const py::object description = FromVariant(read("Description"));
    const std::string where = Utf16ToUtf8(source);
    try {
      if (reportHandler && !reportHandler->is_none()) {
        (*reportHandler)(number, description, where);
      } else {
        py::module_::import("warnings")
            .attr("warn")(py::str("{}: error {}: {}").format(where, number, description));
      }
    } catch (py::error_already_set&) {
      PyErr_Print();
    }
    return 0;
  }
};

const MemberDesc kReportMembers[] = {
    {"ErrorHandlerMessageQ7",
     MemberKind::Method,
     0x60030000,
     {Param("oApp", types::Object, kByRef), Param("oErr", types::Object),
      Param("sText", types::String, kByRef), Param("sSource", types::String),
      Param("lValue", types::Long, kByRef), Param("sText2", types::String),
      Param("lValue2", types::Long), Param("vExtra", types::Variant, kOptional)},
     types::Long,
     Bind<&ReportHandler::ErrorHandlerMessageQ7>()},
};

const ClassInfo& ReportHandlerInfo() {
  static const ClassInfo info(
      {"clsQ7elErrorHandlerA", "Q7Halden10.clsQ7elErrorHandlerA", CLSID_clsQ7elErrorHandlerA,
       "_clsQ7elErrorHandlerA", IID__clsQ7elErrorHandlerA},
      kReportMembers, &CreateOf<ReportHandler>);
  return info;
}

int AnswerMessageBox(const MessageBoxCall& call) {
  py::gil_scoped_acquire gil;
  if (messageBoxHandler && !messageBoxHandler->is_none()) {
    try {
      py::object answer = (*messageBoxHandler)(call.text, call.caption, call.style);
      if (!answer.is_none()) return answer.cast<int>();
    } catch (py::error_already_set&) {
      PyErr_Print();
    }
    return DefaultMessageBoxAnswer(call.style);
  }
  return PrintMessageBoxToStderr(call);
}

void RegisterOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterOrvex10Classes();
    RegisterQ7Halden10Classes();
    RegisterHostKitClasses();
    // Reports go to Python in place of the framework's handler.
    RegisterClassInProcess(ReportHandlerInfo());
    SetMessageBoxHandler(&AnswerMessageBox);
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

  static py::object onReport = py::none(), onMessageBox = py::none();
  reportHandler = &onReport;
  messageBoxHandler = &onMessageBox;
  m.def(
      "on_report", [](py::object fn) { onReport = std::move(fn); }, py::arg("fn"),
      "Sends each report of a failed step to fn(number, description, source); None restores "
      "the default (warnings.warn).");
  m.def(
      "on_message_box", [](py::object fn) { onMessageBox = std::move(fn); }, py::arg("fn"),
      "Answers message boxes with fn(text, caption, style) (an int; None for the default "
      "button); None restores the default (printed to stderr, default button).");

  py::class_<Enumerator>(m, "Enumerator")
      .def("__iter__", [](Enumerator& e) -> Enumerator& { return e; })
      .def("__next__", [](Enumerator& e) {
        orvex::Variant item;
        orvex::ULONG fetched = 0;
        if (e.items->Next(1, &item, &fetched) != orvex::S_OK || fetched == 0) {
          throw py::stop_iteration();
        }
        return FromVariant(item);
      });

  py::class_<BoundMember>(m, "BoundMember")
      .def("__call__", [](const BoundMember& b, py::args args,
                          py::kwargs kwargs) { return b.Call(args, kwargs, false); })
      .def("call_byref", [](const BoundMember& b, py::args args,
                            py::kwargs kwargs) { return b.Call(args, kwargs, true); })
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
      .def("__len__",
           [](const Proxy& p) {
             return p.Invoke(p.IdOf("Count"), orvex::DISPATCH_PROPERTYGET, {}).cast<int>();
           })
      // obj[key] is obj.Item(key), as a script host's default member.
      .def("__getitem__",
           [](const Proxy& p, py::handle key) {
             std::vector<orvex::Variant> args;
             args.push_back(ToVariant(key));
             return p.Invoke(p.IdOf("Item"), orvex::DISPATCH_METHOD | orvex::DISPATCH_PROPERTYGET,
                             std::move(args));
           })
      // Iteration: the object's enumerator where it has one, else Item(1..Count).
      .def("__iter__",
           [](const Proxy& p) -> py::object {
             try {
               py::object items = p.Invoke(
                   orvex::DISPID_NEWENUM, orvex::DISPATCH_METHOD | orvex::DISPATCH_PROPERTYGET, {});
               if (py::isinstance<Enumerator>(items)) return items;
             } catch (py::error_already_set&) {
               PyErr_Clear();
             }
             py::list all;
             const int count =
                 p.Invoke(p.IdOf("Count"), orvex::DISPATCH_PROPERTYGET, {}).cast<int>();
             for (int i = 1; i <= count; ++i) {
               std::vector<orvex::Variant> args;
               args.push_back(orvex::Variant(static_cast<int32_t>(i)));
               all.append(p.Invoke(p.IdOf("Item"),
                                   orvex::DISPATCH_METHOD | orvex::DISPATCH_PROPERTYGET,
                                   std::move(args)));
             }
             return all.attr("__iter__")();
           })
      .def("__dir__", [](const Proxy& p) { return p.MemberNames(); })
      // help(obj) shows the members and their parameters, from the type information.
      .def_property_readonly("__doc__", [](const Proxy& p) { return p.Describe(); })
      .def(
          "save_png",
          [](const Proxy& p, const std::string& path) {
            try {
              const orvex::PictureImage image = orvex::ReadPicture(p.Get(), true);
              orvex::WritePng(path, image.image);
            } catch (const orvex::RuntimeError& e) {
              Raise(e);
            } catch (const std::runtime_error& e) {
              throw py::value_error(e.what());
            }
          },
          py::arg("path"), "Writes a picture object's image as an 8-bit RGBA PNG.");

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
