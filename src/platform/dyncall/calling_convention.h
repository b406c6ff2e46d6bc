// The machine-level calling convention of the platform the program runs on, for code that
// writes calls itself (the function-call class's thunks). The platform layer knows the
// system and the processor; code above it asks here instead of testing either.
#pragma once

namespace orvex {

enum class CallingConvention {
  kNone,           // no call writer for this platform
  kX86,            // 32-bit x86: arguments on the stack; callee (stdcall) or caller clean-up
  kSystemVX86_64,  // x86-64 System V: six integer registers, then the stack
  kWindowsX64,     // Windows x64: four integer registers, 32 bytes of shadow space
};

#if defined(__i386__)
inline constexpr CallingConvention kHostCallingConvention = CallingConvention::kX86;
#elif defined(__x86_64__) && defined(_WIN64)
inline constexpr CallingConvention kHostCallingConvention = CallingConvention::kWindowsX64;
#elif defined(__x86_64__)
inline constexpr CallingConvention kHostCallingConvention = CallingConvention::kSystemVX86_64;
#else
inline constexpr CallingConvention kHostCallingConvention = CallingConvention::kNone;
#endif

}  // namespace orvex
