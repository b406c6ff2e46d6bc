#include "dyncall/cls_q7_resf_function_call_a.h"

#include "dyncall/function_call_params.h"
#include "platform/text/text.h"

namespace orvex {

// The loader maps drive-C paths itself, so the name goes on as the client wrote it.
void clsQ7ResfFunctionCallA::LetLibraryName(std::u16string_view name) {
  caller_.SetLibraryName(UnicodeToAnsi(name));
}

void clsQ7ResfFunctionCallA::LetFunctionName(std::u16string_view name) {
  caller_.SetFunctionName(UnicodeToAnsi(name));
}

void clsQ7ResfFunctionCallA::LetCallType(int32_t value) {
  caller_.SetCallType(value);
}

int32_t clsQ7ResfFunctionCallA::CallFunction(const VARIANT& FuncParams) {
  return CallFunctionWithParams(caller_, FuncParams);
}

}  // namespace orvex
