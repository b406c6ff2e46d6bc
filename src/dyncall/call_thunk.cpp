#include "dyncall/call_thunk.h"

#include <cassert>

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

namespace x86_64 {

namespace {

constexpr size_t kRegisterArguments = 6;

void EmitEntryCode(CodeWriter& writer, size_t stackArguments) {
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

// mov <register of argument index>, imm32 (sign-extended to 64 bits, so parameters of
// type long receive the same value as int parameters).
void EmitRegisterArgument(CodeWriter& writer, size_t index, int32_t value) {
  // rdi, rsi, rdx, rcx, r8, r9 as REX prefix and ModRM byte of C7 /0.
  static constexpr uint8_t kRex[kRegisterArguments] = {0x48, 0x48, 0x48, 0x48, 0x49, 0x49};
  static constexpr uint8_t kModRm[kRegisterArguments] = {0xC7, 0xC6, 0xC2, 0xC1, 0xC0, 0xC1};
  writer.EmitByte(kRex[index]);
  writer.EmitByte(0xC7);
  writer.EmitByte(kModRm[index]);
  writer.EmitLong(static_cast<uint32_t>(value));
}

void EmitCallAbsolute(CodeWriter& writer, uint64_t function) {
  writer.EmitByte(0x31);  // xor eax, eax
  writer.EmitByte(0xC0);
  writer.EmitByte(0x49);  // mov r11, imm64
  writer.EmitByte(0xBB);
  writer.EmitQuad(function);
  writer.EmitByte(0x41);  // call r11
  writer.EmitByte(0xFF);
  writer.EmitByte(0xD3);
}

void EmitCleanUp(CodeWriter& writer) {
  writer.EmitByte(0xC9);  // leave: drops stack arguments and padding, restores rbp
  writer.EmitByte(0x48);  // movsxd rax, eax
  writer.EmitByte(0x63);
  writer.EmitByte(0xC0);
}

}  // namespace

size_t BuildCallThunk(CodeWriter& writer, std::span<const int32_t> arguments, uint64_t function,
                      bool /*callerRemovesArguments: one convention on this processor*/) {
  const size_t count = arguments.size();
  const size_t stackArguments = count > kRegisterArguments ? count - kRegisterArguments : 0;
  const size_t start = writer.AlignTo16();
  EmitEntryCode(writer, stackArguments);
  for (size_t j = count; j-- > 0;) {
    if (j >= kRegisterArguments) {
      writer.EmitByte(0x68);  // push imm32, sign-extended to 64 bits
      writer.EmitLong(static_cast<uint32_t>(arguments[j]));
    } else {
      EmitRegisterArgument(writer, j, arguments[j]);
    }
  }
  EmitCallAbsolute(writer, function);
  EmitCleanUp(writer);
  writer.EmitByte(0xC3);  // ret
  writer.EmitByte(0xCC);
  return start;
}

}  // namespace x86_64

size_t BuildHostCallThunk(CodeWriter& writer, std::span<const int32_t> arguments,
                          uintptr_t function, bool callerRemovesArguments) {
#if defined(__x86_64__)
  return x86_64::BuildCallThunk(writer, arguments, function, callerRemovesArguments);
#elif defined(__i386__)
  return x86::BuildCallThunk(writer, arguments, function, callerRemovesArguments);
#else
  (void)writer, (void)arguments, (void)function, (void)callerRemovesArguments;
  assert(!"no call thunk writer for this processor");
  return 0;
#endif
}

}  // namespace orvex
