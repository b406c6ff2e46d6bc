// Binding a library and a function by name and calling it through the host's call thunk.
#include "dyncall/function_caller.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "base/runtime_error.h"
#include "platform/dyncall/shared_library.h"
#include "platform/user/message_box.h"
#include "platform/user/message_box_script.h"

namespace orvex {
namespace {

using ::testing::ElementsAre;

const MessageBoxCall kFunctionNotDefined{0, "Function not defined!", "Call function error", 16};

MessageBoxCall NoEntryPoint(const std::string& name) {
  return {0,
          "Can not find function entry point for \"" + name +
              "\"\r\nNote: function names are case sensitive, check out you function spelling!",
          "Function call error", 16};
}

int32_t Call(FunctionCaller& caller, const char* library, const char* function,
             std::vector<int32_t> arguments) {
  caller.SetLibraryName(library);
  caller.SetFunctionName(function);
  return caller.CallFunction(arguments);
}

int32_t ErrorNumber(const std::function<void()>& action) {
  try {
    action();
  } catch (const RuntimeError& error) {
    return error.Number();
  }
  return 0;
}

struct CallCase {
  const char* library;
  const char* function;
  std::vector<int32_t> arguments;
  int32_t expected;
};

class FunctionCallerConventions : public ::testing::TestWithParam<int32_t> {};

TEST_P(FunctionCallerConventions, CallsWithTheirArgumentsInOrder) {
  const char* lib = ORVEX_DYNCALL_TESTLIB;
  const std::vector<CallCase> cases = {
      {lib, "TestNoArguments", {}, 4242},  // also checks the stack alignment at the call
      {lib, "TestNegate", {5}, -5},
      {lib, "TestNegate", {INT32_MIN}, INT32_MIN},
      {lib, "TestOrder2", {1, 2}, 1002},
      {lib, "TestOrder2", {2, 1}, 2001},
      {lib, "TestOrder2", {-3, 7}, -2993},
      {lib, "TestDigits6", {1, 2, 3, 4, 5, 6}, 123456},
      {lib, "TestDigits7", {1, 2, 3, 4, 5, 6, 7}, 1234567},
      {lib, "TestDigits8", {8, 7, 6, 5, 4, 3, 2, 1}, 87654321},
      {lib, "TestDigits10", {1, 2, 3, 4, 5, 6, 7, 8, 9, 0}, 1234567890},
      {lib, "TestLongAbs", {-77}, 77},
      {lib, "TestLongAbs", {INT32_MIN}, INT32_MIN},  // 2^31 as a long, truncated to 32 bits
      {lib, "TestLongSum8", {-1, -2, -3, -4, -5, -6, -7, -8}, -36},
      {lib, "TestVariadicSum", {3, 10, -20, 30}, 20},
      {"libc.so.6", "abs", {-12345}, 12345},
      {"libc.so.6", "abs", {INT32_MAX}, INT32_MAX},
      {"libc.so.6", "labs", {-2000000000}, 2000000000},
  };
  for (const CallCase& c : cases) {
    FunctionCaller caller;
    caller.SetCallType(GetParam());
    EXPECT_EQ(Call(caller, c.library, c.function, c.arguments), c.expected) << c.function;
    EXPECT_FALSE(caller.IsFunctionBound());
  }
}

TEST_P(FunctionCallerConventions, EveryStackSlotArrivesWhole) {
  const std::vector<int32_t> values = {INT32_MIN, -1, INT32_MAX,  0x12345678, -0x12345678,
                                       1,         -2, 0x7F00FF00, -99};
  FunctionCaller caller;
  caller.SetCallType(GetParam());
  caller.SetLibraryName(ORVEX_DYNCALL_TESTLIB);
  for (int32_t which = 1; which <= 10; ++which) {
    std::vector<int32_t> arguments = {which};
    arguments.insert(arguments.end(), values.begin(), values.end());
    caller.SetFunctionName("TestPick10");
    EXPECT_EQ(caller.CallFunction(arguments), which == 1 ? 1 : values[which - 2]) << which;
  }
}

std::string ConventionName(const ::testing::TestParamInfo<int32_t>& param) {
  return param.param == eStdCall ? "StdCall" : param.param == eCDecl ? "CDecl" : "Other";
}

INSTANTIATE_TEST_SUITE_P(DeclSpec, FunctionCallerConventions,
                         ::testing::Values(eStdCall, eCDecl, 2), ConventionName);

TEST(FunctionCaller, OnlyCDeclSelectsCallerCleanUp) {
  EXPECT_TRUE(FunctionCaller::CallerRemovesArguments(eCDecl));
  for (int32_t other : {int32_t{eStdCall}, 2, -1, INT32_MAX}) {
    EXPECT_FALSE(FunctionCaller::CallerRemovesArguments(other)) << other;
  }
}

TEST(FunctionCaller, ManyArgumentsUpToTheLimit) {
  std::vector<int32_t> arguments(FunctionCaller::kMaxArguments, 3);
  arguments[0] = FunctionCaller::kMaxArguments - 1;
  FunctionCaller caller;
  caller.SetLibraryName(ORVEX_DYNCALL_TESTLIB);
  caller.SetFunctionName("TestVariadicSum");
  EXPECT_EQ(caller.CallFunction(arguments), 3 * (FunctionCaller::kMaxArguments - 1));
}

TEST(FunctionCaller, ASecondCallNeedsTheFunctionNamedAgain) {
  ScriptedMessageBoxes boxes;
  FunctionCaller caller;
  EXPECT_EQ(Call(caller, ORVEX_DYNCALL_TESTLIB, "TestOrder2", {4, 5}), 4005);
  EXPECT_EQ(boxes.Count(), 0u);

  int reads = 0;
  EXPECT_EQ(caller.CallFunction(2, [&reads](int32_t) { return ++reads; }), 0);
  EXPECT_EQ(reads, 0);  // no argument is converted without a function
  EXPECT_THAT(boxes.Calls(), ElementsAre(kFunctionNotDefined));

  caller.SetFunctionName("TestOrder2");
  EXPECT_EQ(caller.CallFunction(std::vector<int32_t>{6, 7}), 6007);
}

TEST(FunctionCaller, MissingLibraryShowsItsBoxAndFreesTheEarlierOne) {
  ScriptedMessageBoxes boxes;
  FunctionCaller caller;
  caller.SetLibraryName(ORVEX_DYNCALL_TESTLIB);
  const HMODULE earlier = caller.LibraryHandle();
  ASSERT_NE(earlier, 0u);
  EXPECT_EQ(boxes.Count(), 0u);

  caller.SetLibraryName("liborvex-missing.so");
  EXPECT_EQ(caller.LibraryHandle(), 0u);
  EXPECT_THAT(boxes.Calls(),
              ElementsAre(MessageBoxCall{0, "Can not find library \"liborvex-missing.so\"",
                                         "Function call error", 16}));
  EXPECT_EQ(shared::FreeLibrary(earlier), FALSE);  // no longer held
}

TEST(FunctionCaller, MissingFunctionShowsItsBoxAndLeavesNothingBound) {
  ScriptedMessageBoxes boxes;
  FunctionCaller caller;
  caller.SetLibraryName(ORVEX_DYNCALL_TESTLIB);
  caller.SetFunctionName("testmixedcase");
  EXPECT_FALSE(caller.IsFunctionBound());
  EXPECT_EQ(caller.CallFunction(std::vector<int32_t>{}), 0);
  EXPECT_THAT(boxes.Calls(), ElementsAre(NoEntryPoint("testmixedcase"), kFunctionNotDefined));

  // Without a library the lookup is in the program itself, which exports no "abs".
  boxes.Clear();
  FunctionCaller unbound;
  unbound.SetFunctionName("abs");
  EXPECT_THAT(boxes.Calls(), ElementsAre(NoEntryPoint("abs")));
}

TEST(FunctionCaller, AFunctionOfAFreedLibraryIsNotCalled) {
  ScriptedMessageBoxes boxes;
  FunctionCaller caller;
  caller.SetLibraryName(ORVEX_DYNCALL_TESTLIB);
  caller.SetFunctionName("TestNoArguments");
  caller.SetLibraryName("libc.so.6");  // frees the test library
  EXPECT_EQ(caller.CallFunction(std::vector<int32_t>{}), 0);
  EXPECT_THAT(boxes.Calls(), ElementsAre(kFunctionNotDefined));

  // Loading a library without freeing one keeps the binding.
  FunctionCaller fresh;
  fresh.SetFunctionName("OrvexDyncallHostExport");  // exported by this program
  fresh.SetLibraryName(ORVEX_DYNCALL_TESTLIB);
  EXPECT_EQ(fresh.CallFunction(std::vector<int32_t>{9}), 10);
}

TEST(FunctionCaller, ErrorsBeforeTheCallKeepTheBinding) {
  ScriptedMessageBoxes boxes;
  FunctionCaller caller;
  caller.SetLibraryName(ORVEX_DYNCALL_TESTLIB);
  caller.SetFunctionName("TestOrder2");
  int reads = 0;
  auto counting = [&reads](int32_t index) {
    ++reads;
    return index;
  };
  // An upper bound below -1 (a negative count): subscript error.
  EXPECT_EQ(ErrorNumber([&] { caller.CallFunction(-1, counting); }), 9);
  // Code buffer size beyond a Long, or more arguments than the stack should take.
  EXPECT_EQ(ErrorNumber([&] { caller.CallFunction(357913933, counting); }), 6);
  EXPECT_EQ(ErrorNumber([&] { caller.CallFunction(FunctionCaller::kMaxArguments + 1, counting); }),
            6);
  EXPECT_EQ(reads, 0);
  // A conversion error of the second argument (text that is no number, say).
  EXPECT_EQ(ErrorNumber([&] {
              caller.CallFunction(2, [](int32_t index) -> int32_t {
                if (index == 1) throw RuntimeError(Err::TypeMismatch);
                return 1;
              });
            }),
            13);
  EXPECT_TRUE(caller.IsFunctionBound());
  EXPECT_EQ(caller.CallFunction(2, counting), 1);  // TestOrder2(0, 1)
  EXPECT_EQ(boxes.Count(), 0u);
}

// A callee that calls back into the same caller while its thunk is running.
FunctionCaller* reentrantCaller = nullptr;

int32_t CallAgain(int32_t value) {
  reentrantCaller->SetFunctionName("TestDigits8");
  return reentrantCaller->CallFunction(std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, value});
}

TEST(FunctionCaller, ACallFromInsideTheCalleeLeavesTheRunningThunkIntact) {
  FunctionCaller caller;
  caller.SetLibraryName(ORVEX_DYNCALL_TESTLIB);
  auto setCallback = reinterpret_cast<void (*)(int32_t(*)(int32_t))>(
      shared::GetProcAddress(caller.LibraryHandle(), "TestSetCallback"));
  ASSERT_NE(setCallback, nullptr);
  setCallback(CallAgain);
  reentrantCaller = &caller;
  caller.SetFunctionName("TestInvokeCallback");
  EXPECT_EQ(caller.CallFunction(std::vector<int32_t>{8}), 12345678 + 1);
  setCallback(nullptr);
  reentrantCaller = nullptr;
}

}  // namespace
}  // namespace orvex
