// A Python object behind IDispatch: members are its attributes, found by name without
// regard to case; a Python exception becomes DISP_E_EXCEPTION.
#include "python_dispatch.h"

#include "conversions.h"
#include "platform/ole/oleauto.h"
#include "platform/text/text.h"

namespace orvex::python {

HRESULT ORVEX_COM_CALL PythonDispatch::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                                     DISPID* ids) {
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

HRESULT ORVEX_COM_CALL PythonDispatch::Invoke(DISPID id, REFIID, LCID, WORD flags,
                                              DISPPARAMS* params, VARIANT* result,
                                              EXCEPINFO* exception, UINT*) {
  if (id < 1 || static_cast<size_t>(id) > names_.size()) return DISP_E_MEMBERNOTFOUND;
  py::gil_scoped_acquire gil;
  const std::string& name = names_[static_cast<size_t>(id - 1)];
  try {
    py::list args;
    for (UINT i = params ? params->cArgs : 0; i-- > 0;) args.append(FromVariant(params->rgvarg[i]));
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

// Releasing the Python object needs the interpreter's lock; a failure there (the
// interpreter gone) cannot be reported from a destructor, and the object is left as it is.
PythonDispatch::~PythonDispatch() {
  try {
    py::gil_scoped_acquire gil;
    target_ = py::object();
  } catch (...) {
    target_.release();
  }
}

}  // namespace orvex::python
