#include "server/frame/bas_q7el_common_a.h"

#include "platform/ole/error_object.h"
#include "platform/ole/late_bound.h"
#include "platform/text/text.h"
#include "server/frame/application_object.h"

namespace orvex {

void ErrorHandlerMessageQ7(const RuntimeError& error, const std::string& source) {
  ComPtr<IDispatch> handler = CreateObject(kErrorHandlerProgId);
  RuntimeError reported(error.Number(), error.Description(),
                        error.Source().empty() ? "Orvex10" : error.Source());
  ComPtr<IDispatch> errorObject = MakeErrorObject(reported);

  // The by-reference arguments point at these; the callee may replace what they hold.
  ComPtr<IDispatch> app = GetApplicationObject();
  Bstr text(u"");
  LONG zero = 0;

  const Variant args[8] = {
      Variant::RefTo(*app.AddressOf()),   // 1: application object, VT_BYREF | VT_DISPATCH
      Variant(errorObject),               // 2: the error object, VT_DISPATCH
      Variant::RefTo(*text.AddressOf()),  // 3: "", VT_BYREF | VT_BSTR
      Variant(Utf8ToUtf16(source)),       // 4: "Class.Operation", VT_BSTR
      Variant::RefTo(zero),               // 5: 0, VT_BYREF | VT_I4
      Variant(u""),                       // 6: "", VT_BSTR
      Variant(int32_t{0}),                // 7: 0, VT_I4
      Variant::Missing(),                 // 8: missing optional argument
  };
  Invoke(handler.Get(), "ErrorHandlerMessageQ7", DISPATCH_METHOD, std::span<const Variant>(args));
}

StepRunner ReportingStepsFor(std::string source) {
  return StepRunner(std::move(source), &ErrorHandlerMessageQ7);
}

StepRunner ReportingSteps(std::string_view operation) {
  return StepRunner("clsQ7ResfResourceTypesA", operation, &ErrorHandlerMessageQ7);
}

void AppAboutQ7el_Pro() {
  StepRunner step = ReportingStepsFor("basQ7elCommonA.AppAboutQ7el_Pro");
  step([] {
    ComPtr<IDispatch> framework = CreateObject(kFrameworkProgId);
    Invoke(framework.Get(), "AppAboutQ7el", DISPATCH_METHOD, {Variant(GetApplicationObject())});
  });
}

}  // namespace orvex
