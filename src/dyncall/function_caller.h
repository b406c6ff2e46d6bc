// Calls an exported function of a shared library by name with a list of 32-bit arguments,
// through a call thunk written for the call and entered as a window procedure. This is the
// behaviour of the function-call class without its automation surface: the class glue turns
// its variants into 32-bit integers and forwards here.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "platform/dyncall/executable_memory.h"
#include "platform/win32_types.h"
#include "server/frame/class_ids.h"

namespace orvex {

class FunctionCaller {
 public:
  // Calls deeper than this many arguments are refused with Err::Overflow: the thunk
  // places them on the thread's stack, which a huge count would overrun.
  static constexpr int64_t kMaxArguments = 16384;

  FunctionCaller() = default;
  FunctionCaller(const FunctionCaller&) = delete;
  FunctionCaller& operator=(const FunctionCaller&) = delete;
  // Frees the held library.
  ~FunctionCaller();

  // Frees the held library, if any, and loads `name` (ANSI). On failure the handle becomes
  // 0 and the box "Can not find library "<name>"" is shown. The function binding is kept,
  // but a function of a library freed here is no longer called (see CallFunction).
  void SetLibraryName(const std::string& name);
  // Looks `name` (ANSI, case-sensitive) up in the held library (handle 0 if none) and binds
  // the address; shows the "Can not find function entry point" box when it is missing.
  void SetFunctionName(const std::string& name);
  // Stored unchanged; only eCDecl selects caller clean-up.
  void SetCallType(int32_t callType) { callType_ = callType; }

  // The argument count (the client array's upper bound + 1), read only once a function is
  // bound; may throw a RuntimeError (Err::SubscriptOutOfRange for an array without bounds).
  using CountSource = std::function<int64_t()>;
  // Reads argument `index` (0-based, 0 to count - 1) as a 32-bit integer; may throw a
  // RuntimeError (Err::Overflow, SubscriptOutOfRange, TypeMismatch), which ends the call before
  // anything is called.
  using ArgumentSource = std::function<int32_t(int32_t index)>;

  // Calls the bound function with the arguments and clears the binding. Without a binding,
  // or when its library has been freed since, shows "Function not defined!" and returns 0
  // without reading count or arguments. Errors: what `count` throws, Err::SubscriptOutOfRange for a
  // negative count, Err::Overflow when the code buffer size overflows a Long or the count exceeds
  // kMaxArguments, then what `argument` throws; the binding stays after an error.
  int32_t CallFunction(const CountSource& count, const ArgumentSource& argument);
  int32_t CallFunction(int64_t count, const ArgumentSource& argument);
  int32_t CallFunction(std::span<const int32_t> arguments);

  // Only eCDecl selects caller clean-up; every other value acts as eStdCall.
  static bool CallerRemovesArguments(int32_t callType) { return callType == eCDecl; }

  HMODULE LibraryHandle() const { return library_; }
  bool IsFunctionBound() const { return function_ != 0; }
  int32_t CallType() const { return callType_; }

 private:
  bool BindingIsLive() const;
  int32_t RunThunk(ExecutableMemory& code, int32_t bufferSize);

  // Argument list of the last call, argument 1 at index 0.
  std::vector<int32_t> arguments_;
  uintptr_t function_ = 0;
  ExecutableMemory code_;
  HMODULE library_ = 0;
  int32_t callType_ = eStdCall;
  // Counts libraries freed by SetLibraryName; a binding made before the last free is stale.
  uint64_t libraryGeneration_ = 0;
  uint64_t bindingGeneration_ = 0;
  // Set while the thunk runs: a call made from inside the callee gets a buffer of its own
  // instead of rewriting the code that is running.
  bool running_ = false;
};

}  // namespace orvex
