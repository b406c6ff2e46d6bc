// Python values to VARIANTs and back, and the library's run-time errors raised as
// orvex10.AutomationError.
#pragma once

#include <pybind11/pybind11.h>

#include <string>

#include "base/runtime_error.h"
#include "platform/ole/wrappers.h"

namespace orvex::python {

namespace py = pybind11;

// orvex10.Null: the VT_NULL value.
struct NullType {};

// The class orvex10.AutomationError, set when the module loads.
extern py::object* automationError;

// An orvex10.AutomationError with number, description and source.
py::object MakeAutomationError(py::object number, const std::string& description,
                               const std::string& source);

// Raises the error as orvex10.AutomationError with number, description and source.
[[noreturn]] void Raise(const RuntimeError& error);

Variant ToVariant(py::handle value);
py::object FromVariant(const VARIANT& value);

}  // namespace orvex::python
