// The client's FuncParams array: coercion of each element and the array's shape.
#include "dyncall/function_call_params.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "base/runtime_error.h"
#include "platform/ole/oleauto.h"
#include "platform/ole/wrappers.h"
#include "platform/user/message_box_script.h"

namespace orvex {
namespace {

using ::testing::ElementsAre;

// A variant array of the given elements starting at `lowerBound`.
Variant MakeParams(std::vector<Variant> elements, LONG lowerBound = 0) {
  SAFEARRAY* array =
      SafeArrayCreateVector(VT_VARIANT, lowerBound, static_cast<ULONG>(elements.size()));
  for (size_t i = 0; i < elements.size(); ++i) {
    const LONG index = lowerBound + static_cast<LONG>(i);
    SafeArrayPutElement(array, &index, elements[i].Ptr());
  }
  return Variant::FromArray(array);
}

void Bind(FunctionCaller& caller, const char* function) {
  caller.SetLibraryName(ORVEX_DYNCALL_TESTLIB);
  caller.SetFunctionName(function);
}

int32_t ErrorOf(FunctionCaller& caller, const VARIANT& params) {
  try {
    CallFunctionWithParams(caller, params);
  } catch (const RuntimeError& error) {
    return error.Number();
  }
  return 0;
}

TEST(FunctionCallParams, ElementsAreCoercedToLongs) {
  struct Case {
    Variant value;
    int32_t expected;
  };
  Case cases[] = {
      {Variant(int32_t{-42}), -42},
      {Variant(u"12"), 12},
      {Variant(u"  -7 "), -7},
      {Variant(u"1e3"), 1000},
      {Variant(u"&H10"), 16},
      {Variant(2.5), 2},  // half to even
      {Variant(3.5), 4},
      {Variant(-2147483648.0), INT32_MIN},
      {Variant(true), -1},
      {Variant(), 0},  // Empty
      {Variant(int16_t{-300}), -300},
  };
  for (Case& c : cases) {
    FunctionCaller caller;
    Bind(caller, "TestOrder2");
    // TestOrder2(a, b) = a * 1000 + b puts the converted value into b.
    Variant params = MakeParams({Variant(int32_t{0}), c.value});
    EXPECT_EQ(CallFunctionWithParams(caller, params), c.expected) << c.expected;
  }
}

TEST(FunctionCallParams, ArgumentsKeepTheArrayOrderAndReachTheStack) {
  FunctionCaller caller;
  Bind(caller, "TestDigits10");
  std::vector<Variant> digits;
  for (int32_t d : {0, 9, 8, 7, 6, 5, 4, 3, 2, 1}) digits.emplace_back(std::u16string(1, u'0' + d));
  Variant params = MakeParams(std::move(digits));
  EXPECT_EQ(CallFunctionWithParams(caller, params), 987654321);

  // By reference, as the dispatcher may hand it over, and an empty array (upper bound -1).
  caller.SetFunctionName("TestNoArguments");
  Variant none = MakeParams({});
  Variant reference = Variant::RefTo(none);
  EXPECT_EQ(CallFunctionWithParams(caller, reference), 4242);
}

TEST(FunctionCallParams, CoercionErrorsCallNothingAndKeepTheBinding) {
  ScriptedMessageBoxes boxes;
  struct Case {
    Variant value;
    int32_t error;
  };
  Case cases[] = {
      {Variant(u"twelve"), 13}, {Variant::Null(), 13},       {Variant(u""), 13},
      {Variant(3e9), 6},        {Variant(u"3000000000"), 6}, {Variant(-2147483649.0), 6},
  };
  for (Case& c : cases) {
    FunctionCaller caller;
    Bind(caller, "TestOrder2");
    Variant params = MakeParams({Variant(int32_t{1}), c.value});
    EXPECT_EQ(ErrorOf(caller, params), c.error) << c.error;
    EXPECT_TRUE(caller.IsFunctionBound());
  }
  EXPECT_EQ(boxes.Count(), 0u);
}

TEST(FunctionCallParams, ArrayShapeErrors) {
  FunctionCaller caller;
  Bind(caller, "TestOrder2");
  // Lower bound 1: element 0 is outside the array.
  Variant fromOne = MakeParams({Variant(int32_t{1}), Variant(int32_t{2})}, 1);
  EXPECT_EQ(ErrorOf(caller, fromOne), 9);
  // An array variable without bounds.
  Variant unallocated;
  unallocated.vt = VT_ARRAY | VT_VARIANT;
  unallocated.parray = nullptr;
  EXPECT_EQ(ErrorOf(caller, unallocated), 9);
  // Two dimensions.
  SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
  Variant square = Variant::FromArray(SafeArrayCreate(VT_VARIANT, 2, bounds));
  EXPECT_EQ(ErrorOf(caller, square), 9);
  // Not an array of variants.
  Variant longs = Variant::FromArray(SafeArrayCreateVector(VT_I4, 0, 2));
  EXPECT_EQ(ErrorOf(caller, longs), 13);
  EXPECT_EQ(ErrorOf(caller, Variant(int32_t{5})), 13);
  EXPECT_TRUE(caller.IsFunctionBound());

  // A lower bound below 0 reads from index 0 to the upper bound.
  Variant fromMinusOne =
      MakeParams({Variant(int32_t{-9}), Variant(int32_t{3}), Variant(int32_t{4})}, -1);
  EXPECT_EQ(CallFunctionWithParams(caller, fromMinusOne), 3004);
}

TEST(FunctionCallParams, WithoutAFunctionOnlyTheBoxIsShown) {
  ScriptedMessageBoxes boxes;
  FunctionCaller caller;
  Variant unallocated;
  unallocated.vt = VT_ARRAY | VT_VARIANT;
  unallocated.parray = nullptr;
  EXPECT_EQ(CallFunctionWithParams(caller, unallocated), 0);
  EXPECT_EQ(CallFunctionWithParams(caller, Variant(u"no array")), 0);
  EXPECT_EQ(boxes.Count(), 2u);
  EXPECT_EQ(boxes.Calls()[0].text, "Function not defined!");
}

}  // namespace
}  // namespace orvex
