// Calls functions of the platform's own DLLs through the function-call class's caller, as
// the Windows build runs it: a counted string, the tick count, a character conversion with
// arguments on the stack, and a formatting function (caller clean-up) with an odd and an
// even count of stack arguments. Exits non-zero on any mismatch.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "dyncall/function_caller.h"
#include "platform/dyncall/shared_library.h"
#include "platform/user/low_memory.h"

namespace {

using orvex::FunctionCaller;

int gFailures = 0;

void Expect(bool ok, const std::string& what) {
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
  if (!ok) ++gFailures;
}

int32_t Call(const char* library, const char* function, orvex::DECLSPEC callType,
             const std::vector<int32_t>& arguments) {
  FunctionCaller caller;
  caller.SetLibraryName(library);
  caller.SetFunctionName(function);
  caller.SetCallType(callType);
  return caller.CallFunction(arguments);
}

// Arguments are 32-bit values: text handed to a function lies below 2 GB, so its address
// survives the sign extension to a 64-bit register.
class LowText {
 public:
  explicit LowText(size_t size) : buffer_(size) {}
  int32_t Put(size_t offset, const char* text) {
    std::memcpy(buffer_.Data() + offset, text, std::strlen(text) + 1);
    return At(offset);
  }
  int32_t At(size_t offset) const {
    return static_cast<int32_t>(reinterpret_cast<uintptr_t>(buffer_.Data() + offset));
  }
  const char* Text(size_t offset) const { return buffer_.Data() + offset; }
  bool IsLow() const { return reinterpret_cast<uintptr_t>(buffer_.Data()) < (uintptr_t{1} << 31); }

 private:
  orvex::LowBuffer buffer_;
};

}  // namespace

int main() {
  using orvex::eCDecl;
  using orvex::eStdCall;
  LowText low(4096);
  if (!low.IsLow()) {
    std::printf("FAIL no buffer below 2 GB\n");
    return 1;
  }

  const int32_t thunkText = low.Put(0, "Orvex10 thunk");
  Expect(Call("kernel32.dll", "lstrlenA", eStdCall, {thunkText}) == 13, "lstrlenA");
  Expect(Call("kernel32.dll", "lstrlenA", eStdCall, {low.Put(64, "")}) == 0, "lstrlenA, empty");

  auto tickCount = reinterpret_cast<uint32_t (*)()>(
      orvex::shared::GetProcAddress(orvex::shared::LoadLibraryA("kernel32.dll"), "GetTickCount"));
  const uint32_t before = tickCount();
  const auto ticks = static_cast<uint32_t>(Call("kernel32.dll", "GetTickCount", eStdCall, {}));
  const uint32_t after = tickCount();
  Expect(before <= ticks && ticks <= after, "GetTickCount: " + std::to_string(before) +
                                                " <= " + std::to_string(ticks) +
                                                " <= " + std::to_string(after));

  // MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 32): arguments 5 and 6 on the stack.
  const int32_t wide = low.At(1024);
  const int32_t units =
      Call("kernel32.dll", "MultiByteToWideChar", eStdCall, {0, 0, thunkText, -1, wide, 32});
  std::u16string converted(reinterpret_cast<const char16_t*>(low.Text(1024)));
  Expect(units == 14 && converted == u"Orvex10 thunk",
         "MultiByteToWideChar: " + std::to_string(units) + " units");

  // wsprintfA(out, format, ...): variadic, the caller removes the arguments.
  struct Format {
    const char* format;
    std::vector<int32_t> values;
    const char* expected;
  };
  const Format formats[] = {
      {"%d %d %d", {-1, 2, -3}, "-1 2 -3"},          // 1 stack argument
      {"%d %d %d %d", {-1, 2, -3, 4}, "-1 2 -3 4"},  // 2
      {"%d|%u|%x|%d|%d|%d|%d", {7, 8, 255, -10, 11, 12, -13}, "7|8|ff|-10|11|12|-13"},  // 5
  };
  for (const Format& f : formats) {
    const int32_t out = low.At(2048);
    std::vector<int32_t> arguments = {out, low.Put(1536, f.format)};
    arguments.insert(arguments.end(), f.values.begin(), f.values.end());
    const int32_t length = Call("user32.dll", "wsprintfA", eCDecl, arguments);
    const std::string text = low.Text(2048);
    Expect(text == f.expected && length == static_cast<int32_t>(text.size()),
           std::string("wsprintfA \"") + f.format + "\": \"" + text + "\"");
  }

  std::printf("%s\n", gFailures == 0 ? "ok: all calls" : "FAILED");
  return gFailures == 0 ? 0 : 1;
}
