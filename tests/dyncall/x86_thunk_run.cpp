// Runs the 32-bit x86 call thunk: built with -m32 where the machine can build and run
// 32-bit programs. Calls callee-clean-up (stdcall) and caller-clean-up (cdecl) functions
// through CallWindowProcA and through a hand-made window-procedure call that measures the
// stack pointer around it. Exits non-zero on any mismatch. (A convention that does not match
// the callee leaves the stack unbalanced at the thunk's return and cannot be checked here.)
#include <cstdint>
#include <cstdio>
#include <vector>

#include "dyncall/call_thunk.h"
#include "dyncall/code_writer.h"
#include "platform/dyncall/call_window_proc.h"
#include "platform/dyncall/executable_memory.h"

#if !defined(__i386__)
#error "this check is a 32-bit x86 program"
#endif

#define STDCALL __attribute__((stdcall))

namespace {

uint32_t Shift(uint32_t value, uint32_t next) {
  return value * 10 + next;
}

int32_t STDCALL StdNone() {
  return 4242;
}
int32_t STDCALL StdOrder2(int32_t a, int32_t b) {
  return a * 1000 + b;
}
int32_t STDCALL StdDigits10(int32_t a, int32_t b, int32_t c, int32_t d, int32_t e, int32_t f,
                            int32_t g, int32_t h, int32_t i, int32_t j) {
  uint32_t v = a;
  for (int32_t next : {b, c, d, e, f, g, h, i, j}) v = Shift(v, next);
  return static_cast<int32_t>(v);
}
int32_t CdeclNone() {
  return 4343;
}
int32_t CdeclNegate(int32_t a) {
  return static_cast<int32_t>(0u - static_cast<uint32_t>(a));
}
int32_t CdeclOrder2(int32_t a, int32_t b) {
  return a * 1000 + b;
}
int32_t CdeclDigits10(int32_t a, int32_t b, int32_t c, int32_t d, int32_t e, int32_t f, int32_t g,
                      int32_t h, int32_t i, int32_t j) {
  return StdDigits10(a, b, c, d, e, f, g, h, i, j);
}

struct Measured {
  int32_t result;
  int32_t stackChange;  // esp after the call minus esp before the four pushes
};

// Calls the thunk as a window procedure (four values pushed, the callee removes them) and
// measures what the stack pointer did.
Measured CallMeasured(uintptr_t thunk) {
  int32_t result;
  int32_t change;
  asm volatile(
      "movl %%esp, %%esi\n\t"
      "pushl $0\n\tpushl $0\n\tpushl $0\n\tpushl $0\n\t"
      "calll *%2\n\t"
      "movl %%esp, %%ecx\n\t"
      "subl %%esi, %%ecx\n\t"
      "movl %%esi, %%esp\n\t"
      : "=a"(result), "=&c"(change)
      : "r"(thunk)
      : "esi", "edx", "memory", "cc");
  return {result, change};
}

constexpr bool kCallee = false;  // eStdCall
constexpr bool kCaller = true;   // eCDecl

struct Case {
  const char* name;
  uintptr_t function;
  std::vector<int32_t> arguments;
  bool callerRemovesArguments;
  int32_t expected;
};

}  // namespace

int main() {
  using namespace orvex;
  auto address = [](auto function) { return reinterpret_cast<uintptr_t>(function); };
  const std::vector<int32_t> digits = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0};
  const std::vector<Case> cases = {
      {"stdcall, none", address(StdNone), {}, kCallee, 4242},
      {"stdcall, order", address(StdOrder2), {1, 2}, kCallee, 1002},
      {"stdcall, order swapped", address(StdOrder2), {2, 1}, kCallee, 2001},
      {"stdcall, negative", address(StdOrder2), {-3, -4}, kCallee, -3004},
      {"stdcall, ten", address(StdDigits10), digits, kCallee, 1234567890},
      {"cdecl, none", address(CdeclNone), {}, kCaller, 4343},
      {"cdecl, negate", address(CdeclNegate), {INT32_MIN + 1}, kCaller, INT32_MAX},
      {"cdecl, order", address(CdeclOrder2), {1, 2}, kCaller, 1002},
      {"cdecl, ten", address(CdeclDigits10), digits, kCaller, 1234567890},
  };

  int failures = 0;
  ExecutableMemory code;
  for (const Case& c : cases) {
    for (uintptr_t offset : {0u, 1u, 15u}) {
      const int32_t size = *CallThunkBufferSize(static_cast<int64_t>(c.arguments.size()));
      auto buffer = code.BeginWrite(static_cast<size_t>(size) + offset);
      if (!buffer) {
        std::printf("FAIL %s: %s\n", c.name, buffer.GetError().message.c_str());
        return 1;
      }
      // A buffer starting `offset` bytes into the page exercises the alignment fill.
      CodeWriter writer(buffer->subspan(offset, static_cast<size_t>(size)),
                        code.Address() + offset);
      const size_t start =
          BuildHostCallThunk(writer, c.arguments, c.function, c.callerRemovesArguments);
      if (!code.Seal()) return 1;
      const uintptr_t thunk = code.Address() + offset + start;
      if (thunk % 16 != 0) {
        std::printf("FAIL %s: thunk at %#zx is not aligned\n", c.name, static_cast<size_t>(thunk));
        ++failures;
      }
      const Measured measured = CallMeasured(thunk);
      // The thunk and the callee together remove exactly the four values.
      if (measured.result != c.expected || measured.stackChange != 0) {
        std::printf("FAIL %s (offset %u): result %d (expected %d), stack change %d\n", c.name,
                    static_cast<unsigned>(offset), measured.result, c.expected,
                    measured.stackChange);
        ++failures;
      }
      const LRESULT result = CallWindowProcA(reinterpret_cast<WNDPROC>(thunk), 1, 2, 3, 4);
      if (result != c.expected) {
        std::printf("FAIL %s via CallWindowProcA: %d (expected %d)\n", c.name,
                    static_cast<int>(result), c.expected);
        ++failures;
      }
    }
  }
  std::printf("%s: %zu cases\n", failures == 0 ? "ok" : "FAILED", cases.size());
  return failures == 0 ? 0 : 1;
}
