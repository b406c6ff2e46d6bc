// The framework glue: error reports and the About box go to the outside framework
// component, reached only by ProgID and late-bound calls. Each call creates a fresh
// instance, makes one call by name, ignores the result and releases the instance.
//
// The reporting convention of the resource operations is written once here:
//
//   Variant clsQ7ResfResourceTypesA::GetSomething(...) {
//     StepRunner step = ReportingSteps("GetSomething");
//     step([&] { ... first step ... });
//     step([&] { ... second step ... });   // runs even when the first failed
//     return result;
//   }
//
// A step that throws RuntimeError is reported (ErrorHandlerMessageQ7) with the source
// "clsQ7ResfResourceTypesA.GetSomething" and the next step runs; a report that fails
// (component not registered, not created, call failed) throws out of the runner, which
// ends the operation with that failure as its error.
#pragma once

#include <string>
#include <string_view>

#include "base/runtime_error.h"
#include "base/step_runner.h"

namespace orvex {

inline constexpr char16_t kErrorHandlerProgId[] = u"Q7Halden10.clsQ7elErrorHandlerA";
inline constexpr char16_t kFrameworkProgId[] = u"Q7Halden10.clsQ7Halden10A";

// Sends one error report: ErrorHandlerMessageQ7 on a fresh Q7Halden10.clsQ7elErrorHandlerA
// with its eight arguments (application object by reference, the error object, an empty
// text by reference, `source`, 0 by reference, an empty text, 0, a missing argument).
// Throws RuntimeError when the report fails (Err::CantCreateObject when the component
// can't be created).
void ErrorHandlerMessageQ7(const RuntimeError& error, const std::string& source);

// The step runner of a reporting operation of the catalogue ("clsQ7ResfResourceTypesA."
// followed by `operation`, which must outlive the runner: pass a literal).
StepRunner ReportingSteps(std::string_view operation);
// A step runner with any source name.
StepRunner ReportingStepsFor(std::string source);

// Shows the About box: AppAboutQ7el on a fresh Q7Halden10.clsQ7Halden10A with the
// application object. Its failures are reported with the source
// "basQ7elCommonA.AppAboutQ7el_Pro"; a failed report throws.
void AppAboutQ7el_Pro();

}  // namespace orvex
