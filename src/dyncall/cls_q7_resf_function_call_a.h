// clsQ7ResfFunctionCallA: calls an exported function of a shared library by name with a
// list of 32-bit arguments. A client sets LibraryName, then FunctionName, then CallType
// when it is not eStdCall, then calls CallFunction with a variant array; a successful call
// clears the function binding. The work is FunctionCaller's; this class is its automation
// surface.
#pragma once

#include <cstdint>
#include <string_view>

#include "dyncall/function_caller.h"
#include "platform/ole/dispatch.h"

namespace orvex {

class clsQ7ResfFunctionCallA : public Dispatchable {
 public:
  // Start-up: no library, no function, CallType eStdCall.
  using Dispatchable::Dispatchable;
  // Tear-down: the held library is freed (by the caller's destructor).

  // Frees the held library and loads the named one; "Can not find library" box on failure.
  void LetLibraryName(std::u16string_view name);
  // Binds the named export of the held library; "Can not find function entry point" box
  // when it is missing.
  void LetFunctionName(std::u16string_view name);
  // Stored unchanged; only eCDecl selects caller clean-up.
  void LetCallType(int32_t value);
  // Calls the bound function with the elements of FuncParams as Longs and returns its
  // 32-bit result ("Function not defined!" box and 0 without a binding).
  int32_t CallFunction(const VARIANT& FuncParams);

 private:
  FunctionCaller caller_;
};

}  // namespace orvex
