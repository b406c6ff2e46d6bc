// Reports (a handler class in place of the framework's) and message boxes (the platform's
// hook) sent to Python; exceptions they raise kept for the member call on this thread.
#include "host_callbacks.h"

#include <atomic>
#include <mutex>
#include <utility>

#include "conversions.h"
#include "framework/q7halden10.h"
#include "host/host_kit.h"
#include "platform/ole/dispatch.h"
#include "platform/ole/late_bound.h"
#include "platform/text/text.h"
#include "platform/user/message_box.h"
#include "server/class_catalogue.h"

namespace orvex::python {

py::object* reportHandler = nullptr;
py::object* messageBoxHandler = nullptr;

namespace {

std::atomic<bool> strictMode{false};

// The exception a callback raised during the current member call of this thread (an owned
// reference; the first one wins). A raw pointer: a thread that ends with one left leaks it
// rather than releasing it without the GIL.
thread_local PyObject* pendingError = nullptr;

// Keeps the Python exception being handled (the GIL held) for the member call.
void KeepCurrentError(py::error_already_set& error) {
  error.restore();
  PyObject *type = nullptr, *value = nullptr, *traceback = nullptr;
  PyErr_Fetch(&type, &value, &traceback);
  PyErr_NormalizeException(&type, &value, &traceback);
  if (traceback && value) PyException_SetTraceback(value, traceback);
  Py_XDECREF(type);
  Py_XDECREF(traceback);
  if (pendingError) {
    Py_XDECREF(value);
  } else {
    pendingError = value;
  }
}

void KeepError(const py::object& exception) {
  if (!pendingError) pendingError = py::object(exception).release().ptr();
}

// Stands in for the framework's error handler: each report of a failed step reaches the
// Python callable set with on_report (default: warnings.warn).
class ReportHandler final : public Dispatchable {
 public:
  using Dispatchable::Dispatchable;
  int32_t ErrorHandlerMessageQ7(const ComPtr<IDispatch>&, const ComPtr<IDispatch>& error,
                                std::u16string_view, std::u16string_view source, int32_t,
                                std::u16string_view, int32_t, const VARIANT&) {
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
    if (Strict()) {
      KeepError(MakeAutomationError(number, py::str(description), where));
      return 0;
    }
    try {
      if (reportHandler && !reportHandler->is_none()) {
        (*reportHandler)(number, description, where);
      } else {
        py::module_::import("warnings")
            .attr("warn")(py::str("{}: error {}: {}").format(where, number, description));
      }
    } catch (py::error_already_set& raised) {
      KeepCurrentError(raised);
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

// Whether a box only tells of an error: the error icon and an OK button alone ("Invalid
// Library"). Questions keep being asked in strict mode.
bool IsErrorNotice(UINT style) {
  return (style & MB_ICONMASK) == MB_ICONHAND && (style & MB_TYPEMASK) == MB_OK;
}

int AnswerMessageBox(const MessageBoxCall& call) {
  py::gil_scoped_acquire gil;
  if (Strict() && IsErrorNotice(call.style)) {
    // A box carries no error number: 0, with the box's caption as the source.
    KeepError(MakeAutomationError(py::int_(0), call.text, call.caption));
    return DefaultMessageBoxAnswer(call.style);
  }
  if (messageBoxHandler && !messageBoxHandler->is_none()) {
    try {
      py::object answer = (*messageBoxHandler)(call.text, call.caption, call.style);
      if (!answer.is_none()) return answer.cast<int>();
    } catch (py::error_already_set& raised) {
      KeepCurrentError(raised);
    }
    return DefaultMessageBoxAnswer(call.style);
  }
  return PrintMessageBoxToStderr(call);
}

}  // namespace

bool Strict() {
  return strictMode.load();
}

bool SetStrict(bool on) {
  return strictMode.exchange(on);
}

void RaisePendingCallbackError() {
  PyObject* error = std::exchange(pendingError, nullptr);
  if (!error) return;
  PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(error)), error);
  Py_DECREF(error);
  throw py::error_already_set();
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

}  // namespace orvex::python
