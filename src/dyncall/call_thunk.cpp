#include "dyncall/call_thunk.h"

#include <algorithm>
#include <cassert>
#include <iterator>

namespace orvex {

std::optional<int32_t> CallThunkBufferSize(int64_t argumentCount) {
  if (argumentCount < 0 || argumentCount > (INT32_MAX - 51) / 6) return std::nullopt;
  return static_cast<int32_t>(6 * argumentCount + 51);
}

namespace x86 {

namespace {

void EmitEntryCode(CodeWriter& writer) {
  writer.EmitByte(0x58);                              // pop eax: the caller's return address
  for (int i = 0; i < 4; ++i) writer.EmitByte(0x59);  // pop ecx: the window procedure's values
  writer.EmitByte(0x50);                              // push eax
}

void EmitCallRel32(CodeWriter& writer, uint32_t function) {
  writer.EmitByte(0xE8);
  // Relative to the byte after the displacement; 32-bit addresses wrap around.
  const uint32_t next = static_cast<uint32_t>(writer.AddressOf(writer.Position() + 4));
  writer.EmitLong(function - next);
}

void EmitArgumentPops(CodeWriter& writer, size_t count) {
  for (size_t i = 0; i < count; ++i) writer.EmitByte(0x59);  // pop ecx
}

}  // namespace

size_t BuildCallThunk(CodeWriter& writer, std::span<const int32_t> arguments, uint32_t function,
                      bool callerRemovesArguments) {
  const size_t start = writer.AlignTo16();
  EmitEntryCode(writer);
  for (size_t j = arguments.size(); j-- > 0;) {
    writer.EmitByte(0x68);  // push imm32
    writer.EmitLong(static_cast<uint32_t>(arguments[j]));
  }
  EmitCallRel32(writer, function);
  if (callerRemovesArguments) EmitArgumentPops(writer, arguments.size());
  writer.EmitByte(0xC3);  // ret
  writer.EmitByte(0xCC);
  return start;
}

}  // namespace x86

// Pieces both x86-64 writers share.
namespace x64 {

namespace {

// General-purpose register numbers as instructions encode them (8 to 15 need REX.B).
enum Register : uint8_t { kRcx = 1, kRdx = 2, kRsi = 6, kRdi = 7, kR8 = 8, kR9 = 9 };

void EmitFrame(CodeWriter& writer, size_t stackArguments) {
  writer.EmitByte(0x55);  // push rbp
  writer.EmitByte(0x48);  // mov rbp, rsp
  writer.EmitByte(0x89);
  writer.EmitByte(0xE5);
  if (stackArguments % 2 != 0) {
    writer.EmitByte(0x48);  // sub rsp, 8: keeps rsp 16-byte aligned at the call
    writer.EmitByte(0x83);
    writer.EmitByte(0xEC);
    writer.EmitByte(0x08);
  }
}

// Arguments `first` and up, last first: push imm32, sign-extended to 64 bits.
void EmitStackArguments(CodeWriter& writer, std::span<const int32_t> arguments, size_t first) {
  for (size_t j = arguments.size(); j-- > first;) {
    writer.EmitByte(0x68);
    writer.EmitLong(static_cast<uint32_t>(arguments[j]));
  }
}

// mov <register>, imm32 (REX.W C7 /0), sign-extended to 64 bits, so parameters of 64-bit
// types receive the same value as 32-bit ones.
void EmitMoveImmediate(CodeWriter& writer, Register target, int32_t value) {
  writer.EmitByte(target >= kR8 ? 0x49 : 0x48);
  writer.EmitByte(0xC7);
  writer.EmitByte(static_cast<uint8_t>(0xC0 | (target & 7)));
  writer.EmitLong(static_cast<uint32_t>(value));
}

// The first `registers.size()` arguments (or fewer), last first.
void EmitRegisterArguments(CodeWriter& writer, std::span<const int32_t> arguments,
                           std::span<const Register> registers) {
  for (size_t j = std::min(arguments.size(), registers.size()); j-- > 0;)
    EmitMoveImmediate(writer, registers[j], arguments[j]);
}

void EmitCallAbsolute(CodeWriter& writer, uint64_t function) {
  writer.EmitByte(0x49);  // mov r11, imm64
  writer.EmitByte(0xBB);
  writer.EmitQuad(function);
  writer.EmitByte(0x41);  // call r11
  writer.EmitByte(0xFF);
  writer.EmitByte(0xD3);
}

void EmitReturn(CodeWriter& writer) {
  writer.EmitByte(0xC9);  // leave: drops stack arguments and padding, restores rbp
  writer.EmitByte(0x48);  // movsxd rax, eax
  writer.EmitByte(0x63);
  writer.EmitByte(0xC0);
  writer.EmitByte(0xC3);  // ret
  writer.EmitByte(0xCC);
}

}  // namespace

}  // namespace x64

namespace sysv_x86_64 {

size_t BuildCallThunk(CodeWriter& writer, std::span<const int32_t> arguments, uint64_t function,
                      bool /*callerRemovesArguments: one convention on this processor*/) {
  static constexpr x64::Register kRegisters[] = {x64::kRdi, x64::kRsi, x64::kRdx,
                                                 x64::kRcx, x64::kR8,  x64::kR9};
  const size_t stackArguments =
      arguments.size() > std::size(kRegisters) ? arguments.size() - std::size(kRegisters) : 0;
  const size_t start = writer.AlignTo16();
  x64::EmitFrame(writer, stackArguments);
  x64::EmitStackArguments(writer, arguments, std::size(kRegisters));
  x64::EmitRegisterArguments(writer, arguments, kRegisters);
  writer.EmitByte(0x31);  // xor eax, eax: no vector registers, for variadic callees
  writer.EmitByte(0xC0);
  x64::EmitCallAbsolute(writer, function);
  x64::EmitReturn(writer);
  return start;
}

}  // namespace sysv_x86_64

namespace win_x64 {

size_t BuildCallThunk(CodeWriter& writer, std::span<const int32_t> arguments, uint64_t function,
                      bool /*callerRemovesArguments: one convention on this processor*/) {
  static constexpr x64::Register kRegisters[] = {x64::kRcx, x64::kRdx, x64::kR8, x64::kR9};
  const size_t stackArguments =
      arguments.size() > std::size(kRegisters) ? arguments.size() - std::size(kRegisters) : 0;
  const size_t start = writer.AlignTo16();
  x64::EmitFrame(writer, stackArguments);
  x64::EmitStackArguments(writer, arguments, std::size(kRegisters));
  writer.EmitByte(0x48);  // sub rsp, 32: the shadow space, below the stack arguments
  writer.EmitByte(0x83);
  writer.EmitByte(0xEC);
  writer.EmitByte(0x20);
  x64::EmitRegisterArguments(writer, arguments, kRegisters);
  x64::EmitCallAbsolute(writer, function);
  x64::EmitReturn(writer);
  return start;
}

}  // namespace win_x64

size_t BuildHostCallThunk(CodeWriter& writer, std::span<const int32_t> arguments,
                          uintptr_t function, bool callerRemovesArguments) {
  if constexpr (kHostCallingConvention == CallingConvention::kX86) {
    return x86::BuildCallThunk(writer, arguments, static_cast<uint32_t>(function),
                               callerRemovesArguments);
  } else if constexpr (kHostCallingConvention == CallingConvention::kSystemVX86_64) {
    return sysv_x86_64::BuildCallThunk(writer, arguments, function, callerRemovesArguments);
  } else if constexpr (kHostCallingConvention == CallingConvention::kWindowsX64) {
    return win_x64::BuildCallThunk(writer, arguments, function, callerRemovesArguments);
  } else {
    (void)writer, (void)arguments, (void)function, (void)callerRemovesArguments;
    assert(!"no call thunk writer for this platform");
    return 0;
  }
}

}  // namespace orvex
