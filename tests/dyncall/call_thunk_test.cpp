// The thunk writers' bytes, checked against hand-assembled layouts.
#include "dyncall/call_thunk.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <map>
#include <span>
#include <utility>
#include <vector>

#include "base/runtime_error.h"
#include "dyncall/code_writer.h"

namespace orvex {
namespace {

using ::testing::ElementsAreArray;

// Expected code, written as a list of pieces.
class Code {
 public:
  Code& Bytes(std::initializer_list<uint8_t> bytes) {
    bytes_.insert(bytes_.end(), bytes);
    return *this;
  }
  Code& Append(const Code& other) {
    bytes_.insert(bytes_.end(), other.bytes_.begin(), other.bytes_.end());
    return *this;
  }
  Code& Fill(size_t count) {
    bytes_.insert(bytes_.end(), count, 0xCC);
    return *this;
  }
  Code& Long(uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
      bytes_.push_back(static_cast<uint8_t>(value >> shift));
    return *this;
  }
  Code& Quad(uint64_t value) {
    Long(static_cast<uint32_t>(value));
    return Long(static_cast<uint32_t>(value >> 32));
  }
  const std::vector<uint8_t>& Get() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

struct Built {
  std::vector<uint8_t> bytes;  // the written part of the buffer
  size_t start = 0;
};

constexpr bool kCallee = false;  // eStdCall: the callee removes the arguments
constexpr bool kCaller = true;   // eCDecl: the caller does

Built BuildX86(std::vector<int32_t> arguments, uint32_t function, bool callerRemovesArguments,
               uint64_t base = 0x1000) {
  std::vector<uint8_t> buffer(static_cast<size_t>(*CallThunkBufferSize(arguments.size())));
  CodeWriter writer(buffer, base);
  Built built;
  built.start = x86::BuildCallThunk(writer, arguments, function, callerRemovesArguments);
  buffer.resize(writer.Position());
  built.bytes = buffer;
  return built;
}

using X64Writer = size_t (*)(CodeWriter&, std::span<const int32_t>, uint64_t, bool);

Built BuildX64(X64Writer write, std::vector<int32_t> arguments, uint64_t function,
               bool callerRemovesArguments, uint64_t base = 0x7f0000001000) {
  std::vector<uint8_t> buffer(static_cast<size_t>(*CallThunkBufferSize(arguments.size())));
  CodeWriter writer(buffer, base);
  Built built;
  built.start = write(writer, arguments, function, callerRemovesArguments);
  buffer.resize(writer.Position());
  built.bytes = buffer;
  return built;
}

Built BuildX86_64(std::vector<int32_t> arguments, uint64_t function, bool callerRemovesArguments,
                  uint64_t base = 0x7f0000001000) {
  return BuildX64(sysv_x86_64::BuildCallThunk, std::move(arguments), function,
                  callerRemovesArguments, base);
}

Built BuildWinX64(std::vector<int32_t> arguments, uint64_t function, bool callerRemovesArguments,
                  uint64_t base = 0x7f0000001000) {
  return BuildX64(win_x64::BuildCallThunk, std::move(arguments), function, callerRemovesArguments,
                  base);
}

TEST(X86CallThunk, TwoArgumentsPushedLastFirstThenCalledAndReturned) {
  // Base 0x1000 is aligned, so the code starts 16 bytes in; the displacement counts from
  // the byte after it (0x1000 + 37).
  Built stdCall = BuildX86({0x11223344, -2}, 0x2000, kCallee);
  Code expected;
  expected.Fill(16)
      .Bytes({0x58, 0x59, 0x59, 0x59, 0x59, 0x50})
      .Bytes({0x68})
      .Long(0xFFFFFFFE)
      .Bytes({0x68})
      .Long(0x11223344)
      .Bytes({0xE8})
      .Long(0x2000 - 0x1025)
      .Bytes({0xC3, 0xCC});
  EXPECT_EQ(stdCall.start, 16u);
  EXPECT_THAT(stdCall.bytes, ElementsAreArray(expected.Get()));

  Built cdecl = BuildX86({0x11223344, -2}, 0x2000, kCaller);
  std::vector<uint8_t> withPops = expected.Get();
  withPops.insert(withPops.end() - 2, {0x59, 0x59});
  EXPECT_THAT(cdecl.bytes, ElementsAreArray(withPops));
}

TEST(X86CallThunk, ArgumentPopsFollowTheCallOnlyForCallerCleanUp) {
  struct Case {
    size_t count;
    bool callerRemovesArguments;
    size_t pops;
  };
  for (Case c :
       {Case{0, kCaller, 0}, Case{3, kCaller, 3}, Case{3, kCallee, 0}, Case{12, kCaller, 12}}) {
    Built built = BuildX86(std::vector<int32_t>(c.count, 7), 0x2000, c.callerRemovesArguments);
    const size_t call = built.start + 6 + 5 * c.count;
    ASSERT_EQ(built.bytes.size(), call + 5 + c.pops + 2) << c.count;
    EXPECT_EQ(built.bytes[call], 0xE8);
    for (size_t i = 0; i < c.pops; ++i) EXPECT_EQ(built.bytes[call + 5 + i], 0x59);
    EXPECT_EQ(built.bytes[call + 5 + c.pops], 0xC3);
    EXPECT_EQ(built.bytes.back(), 0xCC);
  }
}

TEST(X86CallThunk, FillReachesTheNextMultipleOf16AboveTheBuffer) {
  for (uint64_t remainder = 0; remainder < 16; ++remainder) {
    Built built = BuildX86({}, 0x2000, kCallee, 0x1000 + remainder);
    const size_t fill = 16 - remainder;  // 16 for an aligned buffer, 15 at 16k + 1
    EXPECT_EQ(built.start, fill);
    EXPECT_EQ((0x1000 + remainder + built.start) % 16, 0u);
    for (size_t i = 0; i < fill; ++i) EXPECT_EQ(built.bytes[i], 0xCC) << remainder;
    EXPECT_EQ(built.bytes[fill], 0x58);
  }
}

TEST(X86CallThunk, DisplacementWrapsForAFunctionBelowTheThunk) {
  Built built = BuildX86({}, 0x100, kCallee, 0x10000);
  // E8 at offset 22, next instruction at 0x10000 + 27.
  ASSERT_EQ(built.bytes[22], 0xE8);
  const uint32_t displacement = built.bytes[23] | built.bytes[24] << 8 | built.bytes[25] << 16 |
                                static_cast<uint32_t>(built.bytes[26]) << 24;
  EXPECT_EQ(displacement, static_cast<uint32_t>(0x100 - (0x10000 + 27)));
  EXPECT_EQ(static_cast<uint32_t>(0x10000 + 27 + displacement), 0x100u);
}

TEST(SysVX86_64CallThunk, RegisterArgumentsAndAbsoluteCall) {
  Built built = BuildX86_64({5, -1}, 0x00007f1234567890, kCallee);
  Code expected;
  expected.Fill(16)
      .Bytes({0x55, 0x48, 0x89, 0xE5})
      .Bytes({0x48, 0xC7, 0xC6})
      .Long(0xFFFFFFFF)  // rsi = argument 2
      .Bytes({0x48, 0xC7, 0xC7})
      .Long(5)  // rdi = argument 1
      .Bytes({0x31, 0xC0})
      .Bytes({0x49, 0xBB})
      .Quad(0x00007f1234567890)
      .Bytes({0x41, 0xFF, 0xD3})
      .Bytes({0xC9, 0x48, 0x63, 0xC0, 0xC3, 0xCC});
  EXPECT_EQ(built.start, 16u);
  EXPECT_THAT(built.bytes, ElementsAreArray(expected.Get()));
}

TEST(SysVX86_64CallThunk, StackArgumentsKeepTheCallAligned) {
  Code registers;  // arguments 6 to 1: r9, r8, rcx, rdx, rsi, rdi
  registers.Bytes({0x49, 0xC7, 0xC1})
      .Long(6)
      .Bytes({0x49, 0xC7, 0xC0})
      .Long(5)
      .Bytes({0x48, 0xC7, 0xC1})
      .Long(4)
      .Bytes({0x48, 0xC7, 0xC2})
      .Long(3)
      .Bytes({0x48, 0xC7, 0xC6})
      .Long(2)
      .Bytes({0x48, 0xC7, 0xC7})
      .Long(1);
  auto tail = [](Code& code) {
    code.Bytes({0x31, 0xC0, 0x49, 0xBB}).Quad(0x1234).Bytes({0x41, 0xFF, 0xD3});
    code.Bytes({0xC9, 0x48, 0x63, 0xC0, 0xC3, 0xCC});
  };

  // One stack argument: 8 bytes of padding keep rsp a multiple of 16 at the call.
  Code seven;
  seven.Fill(16).Bytes({0x55, 0x48, 0x89, 0xE5, 0x48, 0x83, 0xEC, 0x08});
  seven.Bytes({0x68}).Long(0xFFFFFFF9);
  seven.Append(registers);
  tail(seven);
  EXPECT_THAT(BuildX86_64({1, 2, 3, 4, 5, 6, -7}, 0x1234, kCallee).bytes,
              ElementsAreArray(seven.Get()));

  // Two: no padding, argument 8 pushed first.
  Code eight;
  eight.Fill(16).Bytes({0x55, 0x48, 0x89, 0xE5});
  eight.Bytes({0x68}).Long(8).Bytes({0x68}).Long(0xFFFFFFF9);
  eight.Append(registers);
  tail(eight);
  EXPECT_THAT(BuildX86_64({1, 2, 3, 4, 5, 6, -7, 8}, 0x1234, kCallee).bytes,
              ElementsAreArray(eight.Get()));
}

TEST(SysVX86_64CallThunk, BothConventionsMakeTheSameCall) {
  const std::vector<int32_t> arguments = {1, -2, 3, -4, 5, -6, 7, -8, 9};
  EXPECT_EQ(BuildX86_64(arguments, 0x1234, kCallee).bytes,
            BuildX86_64(arguments, 0x1234, kCaller).bytes);
}

TEST(WinX64CallThunk, RegisterArgumentsShadowSpaceAndAbsoluteCall) {
  Built built = BuildWinX64({5, -1}, 0x00007f1234567890, kCallee);
  Code expected;
  expected.Fill(16)
      .Bytes({0x55, 0x48, 0x89, 0xE5})
      .Bytes({0x48, 0x83, 0xEC, 0x20})  // shadow space
      .Bytes({0x48, 0xC7, 0xC2})
      .Long(0xFFFFFFFF)  // rdx = argument 2
      .Bytes({0x48, 0xC7, 0xC1})
      .Long(5)  // rcx = argument 1
      .Bytes({0x49, 0xBB})
      .Quad(0x00007f1234567890)
      .Bytes({0x41, 0xFF, 0xD3})
      .Bytes({0xC9, 0x48, 0x63, 0xC0, 0xC3, 0xCC});
  EXPECT_EQ(built.start, 16u);
  EXPECT_THAT(built.bytes, ElementsAreArray(expected.Get()));
}

TEST(WinX64CallThunk, StackArgumentsSitAboveTheShadowSpace) {
  Code registers;  // arguments 4 to 1: r9, r8, rdx, rcx
  registers.Bytes({0x49, 0xC7, 0xC1})
      .Long(4)
      .Bytes({0x49, 0xC7, 0xC0})
      .Long(3)
      .Bytes({0x48, 0xC7, 0xC2})
      .Long(2)
      .Bytes({0x48, 0xC7, 0xC1})
      .Long(1);
  auto tail = [](Code& code) {
    code.Bytes({0x49, 0xBB}).Quad(0x1234).Bytes({0x41, 0xFF, 0xD3});
    code.Bytes({0xC9, 0x48, 0x63, 0xC0, 0xC3, 0xCC});
  };

  // One stack argument: 8 bytes of padding, the argument, then the shadow space.
  Code five;
  five.Fill(16).Bytes({0x55, 0x48, 0x89, 0xE5, 0x48, 0x83, 0xEC, 0x08});
  five.Bytes({0x68}).Long(0xFFFFFFFB);
  five.Bytes({0x48, 0x83, 0xEC, 0x20});
  five.Append(registers);
  tail(five);
  EXPECT_THAT(BuildWinX64({1, 2, 3, 4, -5}, 0x1234, kCallee).bytes, ElementsAreArray(five.Get()));

  // Two: no padding, argument 6 pushed first.
  Code six;
  six.Fill(16).Bytes({0x55, 0x48, 0x89, 0xE5});
  six.Bytes({0x68}).Long(6).Bytes({0x68}).Long(0xFFFFFFFB);
  six.Bytes({0x48, 0x83, 0xEC, 0x20});
  six.Append(registers);
  tail(six);
  EXPECT_THAT(BuildWinX64({1, 2, 3, 4, -5, 6}, 0x1234, kCallee).bytes, ElementsAreArray(six.Get()));
}

TEST(WinX64CallThunk, BothConventionsMakeTheSameCall) {
  const std::vector<int32_t> arguments = {1, -2, 3, -4, 5, -6, 7};
  EXPECT_EQ(BuildWinX64(arguments, 0x1234, kCallee).bytes,
            BuildWinX64(arguments, 0x1234, kCaller).bytes);
}

// Runs the instructions the x86-64 writers emit (and nothing else) on a model of the
// registers and the stack, and records the machine state at the call.
class X64Model {
 public:
  struct AtCall {
    uint64_t rsp = 0;
    uint64_t target = 0;
    uint64_t registers[16] = {};
    std::map<uint64_t, uint64_t> stack;
  };

  // Entered as a callee: rsp is 8 below a multiple of 16 (the return address was pushed).
  static constexpr uint64_t kEntryRsp = 0x10000 - 8;

  // Runs from `start` to the RET; false (with a failure) on an unknown instruction.
  bool Run(const std::vector<uint8_t>& code, size_t start) {
    code_ = &code;
    at_ = start;
    rsp_ = kEntryRsp;
    while (at_ < code.size()) {
      const uint8_t op = Byte();
      if (op == 0x55) {  // push rbp
        Push(registers_[kRbp]);
      } else if (op == 0x68) {  // push imm32
        Push(SignExtend(Long()));
      } else if (op == 0xC9) {  // leave
        rsp_ = registers_[kRbp];
        registers_[kRbp] = Pop();
      } else if (op == 0xC3) {  // ret
        return true;
      } else if (op == 0x31 && Byte() == 0xC0) {  // xor eax, eax
        registers_[0] = 0;
      } else if (op == 0x41 && Byte() == 0xFF && Byte() == 0xD3) {  // call r11
        calls_.push_back(AtCall{rsp_, registers_[11], {}, stack_});
        std::copy(std::begin(registers_), std::end(registers_), calls_.back().registers);
        registers_[0] = 0xAAAAAAAAFFFFFFFE;  // a result with junk in its upper half
      } else if (op == 0x48 || op == 0x49) {
        const uint8_t rexB = op == 0x49 ? 8 : 0;
        const uint8_t next = Byte();
        if (op == 0x48 && next == 0x89 && Byte() == 0xE5) {  // mov rbp, rsp
          registers_[kRbp] = rsp_;
        } else if (op == 0x48 && next == 0x83 && Byte() == 0xEC) {  // sub rsp, imm8
          rsp_ -= Byte();
        } else if (op == 0x48 && next == 0x63 && Byte() == 0xC0) {  // movsxd rax, eax
          registers_[0] = SignExtend(static_cast<uint32_t>(registers_[0]));
        } else if (next == 0xC7) {  // mov r64, imm32
          const uint8_t modRm = Byte();
          if ((modRm & 0xF8) != 0xC0) return Unknown();
          const uint8_t target = (modRm & 7) | rexB;
          registers_[target] = SignExtend(Long());
        } else if (op == 0x49 && next == 0xBB) {  // mov r11, imm64
          const uint64_t low = Long();
          registers_[11] = low | static_cast<uint64_t>(Long()) << 32;
        } else {
          return Unknown();
        }
      } else {
        return Unknown();
      }
    }
    ADD_FAILURE() << "ran past the end without RET";
    return false;
  }

  const std::vector<AtCall>& Calls() const { return calls_; }
  uint64_t Rsp() const { return rsp_; }
  uint64_t Rax() const { return registers_[0]; }

 private:
  static constexpr int kRbp = 5;

  static uint64_t SignExtend(uint32_t value) {
    return static_cast<uint64_t>(static_cast<int64_t>(static_cast<int32_t>(value)));
  }
  uint8_t Byte() { return at_ < code_->size() ? (*code_)[at_++] : 0xCC; }
  uint32_t Long() {
    uint32_t value = 0;
    for (int shift = 0; shift < 32; shift += 8) value |= static_cast<uint32_t>(Byte()) << shift;
    return value;
  }
  void Push(uint64_t value) {
    rsp_ -= 8;
    stack_[rsp_] = value;
  }
  uint64_t Pop() {
    const uint64_t value = stack_[rsp_];
    rsp_ += 8;
    return value;
  }
  bool Unknown() {
    ADD_FAILURE() << "unknown instruction before offset " << at_;
    return false;
  }

  const std::vector<uint8_t>* code_ = nullptr;
  size_t at_ = 0;
  uint64_t rsp_ = 0;
  uint64_t registers_[16] = {};
  std::map<uint64_t, uint64_t> stack_;
  std::vector<AtCall> calls_;
};

// Where each convention expects the arguments at the call: the registers of the first ones,
// then stack slots counted from rsp.
struct X64Convention {
  const char* name;
  X64Writer write;
  std::vector<int> registers;
  uint64_t firstStackSlot;  // bytes above rsp at the call
};

TEST(X64CallThunk, EachConventionFindsItsArgumentsAtAnAlignedCall) {
  const X64Convention conventions[] = {
      {"System V", sysv_x86_64::BuildCallThunk, {7, 6, 2, 1, 8, 9}, 0},
      {"Windows x64", win_x64::BuildCallThunk, {1, 2, 8, 9}, 32},
  };
  constexpr uint64_t kFunction = 0x00007ffe12345678;
  for (const X64Convention& convention : conventions) {
    for (int32_t count = 0; count <= 13; ++count) {
      SCOPED_TRACE(testing::Message() << convention.name << ", " << count << " arguments");
      std::vector<int32_t> arguments;
      for (int32_t i = 1; i <= count; ++i) arguments.push_back(i % 2 ? -i : i * 1000);
      Built built = BuildX64(convention.write, arguments, kFunction, kCallee);
      X64Model model;
      ASSERT_TRUE(model.Run(built.bytes, built.start));
      ASSERT_EQ(model.Calls().size(), 1u);
      const X64Model::AtCall& call = model.Calls()[0];
      EXPECT_EQ(call.target, kFunction);
      EXPECT_EQ(call.rsp % 16, 0u);
      for (size_t i = 0; i < arguments.size(); ++i) {
        const auto expected = static_cast<uint64_t>(static_cast<int64_t>(arguments[i]));
        if (i < convention.registers.size()) {
          EXPECT_EQ(call.registers[convention.registers[i]], expected) << "argument " << i + 1;
        } else {
          const uint64_t slot =
              call.rsp + convention.firstStackSlot + 8 * (i - convention.registers.size());
          auto found = call.stack.find(slot);
          ASSERT_NE(found, call.stack.end()) << "argument " << i + 1;
          EXPECT_EQ(found->second, expected) << "argument " << i + 1;
        }
      }
      // The frame is gone at the return, and the 32-bit result is sign-extended.
      EXPECT_EQ(model.Rsp(), X64Model::kEntryRsp);
      EXPECT_EQ(model.Rax(), 0xFFFFFFFFFFFFFFFEu);
    }
  }
}

TEST(CallThunk, TheHostWriterIsThePlatformsConvention) {
  const std::vector<int32_t> arguments = {1, -2, 3, -4, 5, -6, 7};
  std::vector<uint8_t> buffer(static_cast<size_t>(*CallThunkBufferSize(arguments.size())));
  CodeWriter writer(buffer, 0x1000);
  BuildHostCallThunk(writer, arguments, 0x2000, kCaller);
  buffer.resize(writer.Position());
  switch (kHostCallingConvention) {
    case CallingConvention::kX86:
      EXPECT_EQ(buffer, BuildX86(arguments, 0x2000, kCaller).bytes);
      break;
    case CallingConvention::kSystemVX86_64:
      EXPECT_EQ(buffer, BuildX86_64(arguments, 0x2000, kCaller, 0x1000).bytes);
      break;
    case CallingConvention::kWindowsX64:
      EXPECT_EQ(buffer, BuildWinX64(arguments, 0x2000, kCaller, 0x1000).bytes);
      break;
    case CallingConvention::kNone:
      GTEST_SKIP() << "no call thunk writer for this platform";
  }
}

TEST(CallThunk, BufferSizeHoldsEveryWriterAtEveryAlignment) {
  for (size_t count = 0; count <= 40; ++count) {
    std::vector<int32_t> arguments(count, -1);
    for (uint64_t remainder = 0; remainder < 16; ++remainder) {
      EXPECT_NO_THROW(BuildX86(arguments, 0x2000, kCaller, 0x1000 + remainder)) << count;
      EXPECT_NO_THROW(BuildX86_64(arguments, 0x2000, kCaller, 0x1000 + remainder)) << count;
      EXPECT_NO_THROW(BuildWinX64(arguments, 0x2000, kCaller, 0x1000 + remainder)) << count;
    }
  }
}

TEST(CallThunk, BufferSizeIs6nPlus51WhileItFitsALong) {
  EXPECT_EQ(CallThunkBufferSize(0), 51);
  EXPECT_EQ(CallThunkBufferSize(2), 63);
  EXPECT_EQ(CallThunkBufferSize(357913932), 2147483643);
  EXPECT_EQ(CallThunkBufferSize(357913933), std::nullopt);
  EXPECT_EQ(CallThunkBufferSize(-1), std::nullopt);
  EXPECT_EQ(CallThunkBufferSize(INT64_MAX / 2), std::nullopt);
}

TEST(CodeWriter, WritingPastTheEndIsSubscriptError) {
  std::vector<uint8_t> buffer(3);
  CodeWriter writer(buffer, 0);
  try {
    writer.EmitLong(0x01020304);
    FAIL() << "no error";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.Number(), 9);
  }
  EXPECT_THAT(buffer, ElementsAreArray({0x04, 0x03, 0x02}));
}

}  // namespace
}  // namespace orvex
