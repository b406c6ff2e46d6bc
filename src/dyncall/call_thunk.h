// Call thunks: a few instructions, entered as a window procedure, that drop the window
// procedure's four values, pass a list of 32-bit arguments to a function, call it and
// return its 32-bit result. One writer per calling convention; each can be built and
// inspected on any host, the host's own is the one that runs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "dyncall/code_writer.h"
#include "platform/dyncall/calling_convention.h"

namespace orvex {

// Bytes a code buffer needs for `argumentCount` arguments: 6 * n + 51, which holds the
// alignment fill and any writer's thunk. Empty when the size does not fit a 32-bit Long.
std::optional<int32_t> CallThunkBufferSize(int64_t argumentCount);

namespace x86 {

// 32-bit x86, laid out from byte 0 of the writer's buffer:
//   CC fill up to the next multiple of 16 above the buffer's address,
//   58 59 59 59 59 50          pop the return address, drop the four values, push it back
//   68 <arg n> ... 68 <arg 1>  the arguments, last first
//   E8 <rel32>                 call the function
//   59 x n                     caller clean-up (eCDecl) only: remove the arguments
//   C3 CC                      return
// Returns the offset of the first instruction.
size_t BuildCallThunk(CodeWriter& writer, std::span<const int32_t> arguments, uint32_t function,
                      bool callerRemovesArguments);

}  // namespace x86

namespace sysv_x86_64 {

// x86-64 System V. The window procedure's values arrive in registers, so nothing is
// popped; the frame keeps the stack 16-byte aligned at the call. Both conventions make the
// same call here: the callee never removes arguments, and LEAVE removes them for either.
//   CC fill up to the next multiple of 16 above the buffer's address,
//   55 48 89 E5                push rbp; mov rbp, rsp
//   48 83 EC 08                sub rsp, 8 (only for an odd count of stack arguments)
//   68 <arg n> ... 68 <arg 7>  stack arguments, last first (sign-extended to 64 bits)
//   4x C7 Cx <arg j>           mov r9, r8, rcx, rdx, rsi, rdi, imm32 (sign-extended) for
//                              arguments 6 to 1
//   31 C0                      xor eax, eax (no vector registers, for variadic callees)
//   49 BB <imm64> 41 FF D3     mov r11, function; call r11 (reaches any address)
//   C9                         leave
//   48 63 C0                   movsxd rax, eax (the 32-bit result, sign-extended)
//   C3 CC                      return
// Returns the offset of the first instruction.
size_t BuildCallThunk(CodeWriter& writer, std::span<const int32_t> arguments, uint64_t function,
                      bool callerRemovesArguments);

}  // namespace sysv_x86_64

namespace win_x64 {

// Windows x64. The window procedure's values arrive in registers, so nothing is popped.
// The callee finds arguments 1 to 4 in rcx, rdx, r8 and r9, 32 bytes of shadow space above
// the return address (its to use) and arguments 5 on after them; rsp is 16-byte aligned at
// the call. The callee never removes arguments, and LEAVE removes them.
//   CC fill up to the next multiple of 16 above the buffer's address,
//   55 48 89 E5                push rbp; mov rbp, rsp
//   48 83 EC 08                sub rsp, 8 (only for an odd count of stack arguments)
//   68 <arg n> ... 68 <arg 5>  stack arguments, last first (sign-extended to 64 bits)
//   48 83 EC 20                sub rsp, 32: the shadow space
//   4x C7 Cx <arg j>           mov r9, r8, rdx, rcx, imm32 (sign-extended) for arguments
//                              4 to 1
//   49 BB <imm64> 41 FF D3     mov r11, function; call r11 (reaches any address)
//   C9                         leave
//   48 63 C0                   movsxd rax, eax (the 32-bit result, sign-extended)
//   C3 CC                      return
// Returns the offset of the first instruction.
size_t BuildCallThunk(CodeWriter& writer, std::span<const int32_t> arguments, uint64_t function,
                      bool callerRemovesArguments);

}  // namespace win_x64

inline constexpr bool kHostCallThunkSupported = kHostCallingConvention != CallingConvention::kNone;

// The writer for the platform's calling convention (requires kHostCallThunkSupported).
size_t BuildHostCallThunk(CodeWriter& writer, std::span<const int32_t> arguments,
                          uintptr_t function, bool callerRemovesArguments);

}  // namespace orvex
