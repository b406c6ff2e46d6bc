// orvex10._native, the script host over the library's automation objects: its functions
// and classes as Python sees them (the parts they bind live in the files beside this one).
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <optional>
#include <string>
#include <vector>

#include "conversions.h"
#include "host/host_language.h"
#include "host/picture_image.h"
#include "host_callbacks.h"
#include "member_help.h"
#include "platform/ole/late_bound.h"
#include "platform/text/text.h"
#include "proxy.h"

namespace py = pybind11;

// orvex10._native: the package orvex10 (orvex10/__init__.py) gives its names.
PYBIND11_MODULE(_native, m) {
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

  // strict(): on from now on; strict(False): off; `with strict():` on inside the block.
  struct StrictScope {
    bool previous;
  };
  py::class_<StrictScope>(m, "StrictScope")
      .def("__enter__", [](StrictScope& scope) -> StrictScope& { return scope; })
      .def("__exit__", [](StrictScope& scope, const py::args&) {
        SetStrict(scope.previous);
        return false;
      });
  m.def(
      "strict", [](bool on) { return StrictScope{SetStrict(on)}; }, py::arg("on") = true,
      "Strict mode (for the whole module): reports of failed steps and error boxes (\"Invalid "
      "Library\") raise AutomationError from the member call that caused them instead of "
      "reaching on_report and on_message_box. Used as a context manager it ends with its "
      "block, restoring the setting it replaced.");
  m.def("is_strict", &Strict, "Whether strict mode is on.");

  // The language of the resources read on the calling thread, as a host chooses it on
  // Windows: the thread's UI language, which the platform's resource functions follow.
  m.def(
      "set_language",
      [](const py::object& language) {
        if (language.is_none()) return static_cast<int>(orvex::SetThreadUILanguage(0));
        if (py::isinstance<py::str>(language)) {
          const std::string text = language.cast<std::string>();
          const std::optional<orvex::LANGID> id = orvex::host::ParseUiLanguage(text);
          if (!id) throw py::value_error("names no language: " + text);
          return static_cast<int>(orvex::SetThreadUILanguage(*id));
        }
        if (!py::isinstance<py::int_>(language) || py::isinstance<py::bool_>(language))
          throw py::type_error("a language is a str (\"0407\", \"de-DE\"), an int or None");
        const long long id = language.cast<long long>();
        if (id <= 0 || id > 0xFFFF)
          throw py::value_error("names no language: " + std::to_string(id));
        return static_cast<int>(orvex::SetThreadUILanguage(static_cast<orvex::LANGID>(id)));
      },
      py::arg("language"),
      "Reads resources that exist in several languages in the one `language` names, on the "
      "calling thread (as its UI language): a hex language identifier (\"0407\", \"0x0407\"), "
      "a locale name (\"de-DE\"; \"de\" for neutral German), an int (0x0407), or None for "
      "the default. Returns the language now set; ValueError for a text that names none.");
  m.def(
      "get_language", [] { return static_cast<int>(orvex::GetThreadUILanguage()); },
      "The calling thread's UI language (0x0409 unless set_language chose another).");

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
      .def("__call__", [](const BoundMember& b, const py::args& args,
                          const py::kwargs& kwargs) { return b.Call(args, kwargs, false); })
      .def("call_byref", [](const BoundMember& b, const py::args& args,
                            const py::kwargs& kwargs) { return b.Call(args, kwargs, true); })
      .def("__repr__", [](const BoundMember& b) { return "<member " + b.name + ">"; })
      // help(obj.Member): its parameters and result type from the class table.
      .def_property_readonly("__doc__", [](const BoundMember& b) {
        return DescribeMemberFromClassTable(b.proxy.Get(), b.name).value_or(b.name + "(...)");
      });

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
              RaisePendingCallbackError();
            } catch (const orvex::RuntimeError& e) {
              RaisePendingCallbackError();
              Raise(e);
            } catch (const std::runtime_error& e) {
              RaisePendingCallbackError();
              throw py::value_error(e.what());
            }
          },
          py::arg("path"), "Writes a picture object's image as an 8-bit RGBA PNG.");

  m.def(
      "Dispatch",
      [](const std::string& progId) {
        RegisterOnce();
        try {
          Proxy object(orvex::CreateObject(orvex::Utf8ToUtf16(progId)));
          RaisePendingCallbackError();
          return object;
        } catch (const orvex::RuntimeError& e) {
          RaisePendingCallbackError();
          Raise(e);
        }
      },
      py::arg("progid"), "Creates an automation object by its ProgID.");
}
