// The Python face of the library's automation objects: members by name through IDispatch,
// their help text and member names from the type information, and bound members.
#pragma once

#include <pybind11/pybind11.h>

#include <string>
#include <vector>

#include "platform/ole/unknown.h"
#include "platform/ole/wrappers.h"

namespace orvex::python {

namespace py = pybind11;

// Python iteration over an IEnumVARIANT.
struct Enumerator {
  ComPtr<IEnumVARIANT> items;
};

// The Python face of an automation object.
class Proxy {
 public:
  explicit Proxy(ComPtr<IDispatch> object) : object_(std::move(object)) {}
  IDispatch* Get() const { return object_.Get(); }

  DISPID IdOf(const std::string& name) const;
  // The DISPIDs of a member's parameters by name (keyword arguments).
  std::vector<DISPID> ParamIds(const std::string& member,
                               const std::vector<std::string>& params) const;
  // One line per member: "Name(param, param)" for methods, "Name" for properties.
  std::string Describe() const;
  // The names of the object's members, from its type information.
  std::vector<std::string> MemberNames() const;
  // A method, or a property that takes arguments, is called later; a plain property is read.
  bool NeedsCall(DISPID id) const;
  // `named` holds the DISPIDs of the last named.size() arguments (keyword arguments).
  py::object Invoke(DISPID id, WORD flags, std::vector<Variant> args,
                    std::vector<DISPID> named = {}) const;

 private:
  ComPtr<IDispatch> object_;
};

// A member to call: obj.Method(...) or obj.Method.call_byref(...).
struct BoundMember {
  Proxy proxy;
  DISPID id;
  std::string name;

  py::object Call(const py::args& args, const py::kwargs& kwargs, bool byRef) const;
};

}  // namespace orvex::python
