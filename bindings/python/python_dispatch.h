// A Python object behind IDispatch, so that the library can call a script's own objects
// (controls, callbacks) by member name.
#pragma once

#include <pybind11/pybind11.h>

#include <string>
#include <vector>

#include "platform/ole/com_object.h"

namespace orvex::python {

namespace py = pybind11;

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
                                       DISPID* ids) override;
  HRESULT ORVEX_COM_CALL Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                VARIANT* result, EXCEPINFO* exception, UINT*) override;

 private:
  friend ComObject;
  ~PythonDispatch();
  py::object target_;
  std::vector<std::string> names_;
};

}  // namespace orvex::python
