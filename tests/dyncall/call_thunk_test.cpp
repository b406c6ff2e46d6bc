// The thunk writers' bytes, checked against hand-assembled layouts.
#include "dyncall/call_thunk.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
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

Built BuildX86_64(std::vector<int32_t> arguments, uint64_t function, bool callerRemovesArguments,
                  uint64_t base = 0x7f0000001000) {
  std::vector<uint8_t> buffer(static_cast<size_t>(*CallThunkBufferSize(arguments.size())));
  CodeWriter writer(buffer, base);
  Built built;
  built.start = x86_64::BuildCallThunk(writer, arguments, function, callerRemovesArguments);
  buffer.resize(writer.Position());
  built.bytes = buffer;
  return built;
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

TEST(X86_64CallThunk, RegisterArgumentsAndAbsoluteCall) {
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

TEST(X86_64CallThunk, StackArgumentsKeepTheCallAligned) {
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

TEST(X86_64CallThunk, BothConventionsMakeTheSameCall) {
  const std::vector<int32_t> arguments = {1, -2, 3, -4, 5, -6, 7, -8, 9};
  EXPECT_EQ(BuildX86_64(arguments, 0x1234, kCallee).bytes,
            BuildX86_64(arguments, 0x1234, kCaller).bytes);
}

TEST(CallThunk, BufferSizeHoldsEitherWriterAtEveryAlignment) {
  for (size_t count = 0; count <= 40; ++count) {
    std::vector<int32_t> arguments(count, -1);
    for (uint64_t remainder = 0; remainder < 16; ++remainder) {
      EXPECT_NO_THROW(BuildX86(arguments, 0x2000, kCaller, 0x1000 + remainder)) << count;
      EXPECT_NO_THROW(BuildX86_64(arguments, 0x2000, kCaller, 0x1000 + remainder)) << count;
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
