// Reports of failed steps and message boxes of the library, sent to the Python callables a
// script sets (orvex10.on_report, orvex10.on_message_box) or to their defaults.
#pragma once

#include <pybind11/pybind11.h>

namespace orvex::python {

namespace py = pybind11;

// Callables set by on_report and on_message_box (None: the defaults).
extern py::object* reportHandler;
extern py::object* messageBoxHandler;

// Registers the library's classes, the report handler and the message-box handler, once.
void RegisterOnce();

}  // namespace orvex::python
