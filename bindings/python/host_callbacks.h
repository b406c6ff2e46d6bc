// The library's reports and message boxes sent to a script's callables or, in strict mode,
// made AutomationError; what a callback raises waits for the member call that caused it.
#pragma once

#include <pybind11/pybind11.h>

namespace orvex::python {

namespace py = pybind11;

// Callables set by on_report and on_message_box (None: the defaults).
extern py::object* reportHandler;
extern py::object* messageBoxHandler;

// Strict mode (module-wide): reports and error boxes become orvex10.AutomationError.
bool Strict();
// Sets strict mode; returns the setting it replaces.
bool SetStrict(bool on);

// Raises the exception a callback raised (or strict mode made) during the member call that
// just returned on this thread, if any; the GIL held.
void RaisePendingCallbackError();

// Registers the library's classes, the report handler and the message-box handler, once.
void RegisterOnce();

}  // namespace orvex::python
