#include "dyncall/function_caller.h"

#include <utility>

#include "base/runtime_error.h"
#include "dyncall/call_thunk.h"
#include "dyncall/code_writer.h"
#include "platform/dyncall/call_window_proc.h"
#include "platform/dyncall/shared_library.h"
#include "platform/user/message_box.h"

namespace orvex {

namespace {

constexpr char kQuote = '"';

void ShowError(const std::string& text, const char* caption) {
  MessageBoxA(0, text.c_str(), caption, MB_OK | MB_ICONERROR);
}

}  // namespace

FunctionCaller::~FunctionCaller() {
  if (library_ != 0) shared::FreeLibrary(library_);
}

void FunctionCaller::SetLibraryName(const std::string& name) {
  if (library_ != 0) {
    shared::FreeLibrary(library_);
    ++libraryGeneration_;
  }
  library_ = shared::LoadLibraryA(name.c_str());
  if (library_ == 0) {
    ShowError("Can not find library " + (kQuote + name + kQuote), "Function call error");
  }
}

void FunctionCaller::SetFunctionName(const std::string& name) {
  function_ = reinterpret_cast<uintptr_t>(shared::GetProcAddress(library_, name.c_str()));
  bindingGeneration_ = libraryGeneration_;
  if (function_ == 0) {
    ShowError("Can not find function entry point for " + (kQuote + name + kQuote) +
                  "\r\nNote: function names are case sensitive, check out you function "
                  "spelling!",
              "Function call error");
  }
}

bool FunctionCaller::BindingIsLive() const {
  return function_ != 0 && bindingGeneration_ == libraryGeneration_;
}

int32_t FunctionCaller::CallFunction(const CountSource& countSource,
                                     const ArgumentSource& argument) {
  if (!BindingIsLive()) {
    ShowError("Function not defined!", "Call function error");
    return 0;
  }
  const int64_t count = countSource();
  if (count < 0) throw RuntimeError(Err::SubscriptOutOfRange);
  std::optional<int32_t> bufferSize = CallThunkBufferSize(count);
  if (!bufferSize || count > kMaxArguments) throw RuntimeError(Err::Overflow);

  std::vector<int32_t> arguments(static_cast<size_t>(count));
  for (int32_t i = 0; i < static_cast<int32_t>(count); ++i) arguments[i] = argument(i);
  arguments_ = std::move(arguments);

  int32_t result = 0;
  if (running_) {
    ExecutableMemory nested;
    result = RunThunk(nested, *bufferSize);
  } else {
    running_ = true;
    try {
      result = RunThunk(code_, *bufferSize);
    } catch (...) {
      running_ = false;
      throw;
    }
    running_ = false;
  }
  function_ = 0;
  return result;
}

int32_t FunctionCaller::CallFunction(int64_t count, const ArgumentSource& argument) {
  return CallFunction([count] { return count; }, argument);
}

int32_t FunctionCaller::CallFunction(std::span<const int32_t> arguments) {
  return CallFunction(static_cast<int64_t>(arguments.size()),
                      [arguments](int32_t index) { return arguments[index]; });
}

int32_t FunctionCaller::RunThunk(ExecutableMemory& code, int32_t bufferSize) {
  if constexpr (!kHostCallThunkSupported) throw RuntimeError(Err::InvalidProcedureCall);
  Expected<std::span<uint8_t>> buffer = code.BeginWrite(static_cast<size_t>(bufferSize));
  if (!buffer) throw RuntimeError(Err::OutOfMemory);
  CodeWriter writer(buffer->first(static_cast<size_t>(bufferSize)), code.Address());
  const size_t start =
      BuildHostCallThunk(writer, arguments_, function_, CallerRemovesArguments(callType_));
  if (!code.Seal()) throw RuntimeError(Err::PermissionDenied);
  auto thunk = reinterpret_cast<WNDPROC>(code.Address() + start);
  return static_cast<int32_t>(CallWindowProcA(thunk, 0, 0, 0, 0));
}

}  // namespace orvex
