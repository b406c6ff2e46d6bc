// clsQ7ResfFunctionCallA driven by member name, as a late-bound client drives it: the
// arguments travel as a by-reference variant array through Invoke.
#include <gtest/gtest.h>

#include <vector>

#include "platform/ole/late_bound.h"
#include "platform/ole/oleauto.h"
#include "platform/user/message_box_script.h"
#include "server/class_catalogue.h"
#include "server/frame/class_ids.h"

namespace orvex {
namespace {

Variant MakeParams(std::vector<Variant> elements, LONG lowerBound = 0) {
  SAFEARRAY* array =
      SafeArrayCreateVector(VT_VARIANT, lowerBound, static_cast<ULONG>(elements.size()));
  for (size_t i = 0; i < elements.size(); ++i) {
    const LONG index = lowerBound + static_cast<LONG>(i);
    SafeArrayPutElement(array, &index, elements[i].Ptr());
  }
  return Variant::FromArray(array);
}

Variant Longs(std::initializer_list<int32_t> values) {
  std::vector<Variant> elements;
  for (int32_t v : values) elements.emplace_back(v);
  return MakeParams(std::move(elements));
}

class FunctionCallClass : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterOrvex10Classes();
    caller_ = CreateObject(u"Orvex10.clsQ7ResfFunctionCallA");
  }

  void Bind(const char16_t* library, const char16_t* function, int32_t callType = eStdCall) {
    PutProperty(caller_.Get(), "LibraryName", Variant(library));
    PutProperty(caller_.Get(), "FunctionName", Variant(function));
    PutProperty(caller_.Get(), "CallType", Variant(callType));
  }
  // CallFunction(FuncParams) with the array passed by reference, as a client passes it.
  int32_t Call(Variant params) {
    Variant ref = Variant::RefTo(params);
    return orvex::Call(caller_.Get(), "CallFunction", {ref}).ToLong();
  }
  int32_t ErrorOf(Variant params) {
    try {
      Call(std::move(params));
    } catch (const RuntimeError& error) {
      return error.Number();
    }
    return 0;
  }

  ScriptedMessageBoxes boxes_;
  ComPtr<IDispatch> caller_;
};

const char16_t kTestLib[] = u"" ORVEX_DYNCALL_TESTLIB;

TEST_F(FunctionCallClass, CallsLibcAndTestFunctionsWithBothConventions) {
  for (int32_t callType : {int32_t{eStdCall}, int32_t{eCDecl}, int32_t{7}}) {
    SCOPED_TRACE(callType);
    Bind(u"libc.so.6", u"abs", callType);
    EXPECT_EQ(Call(Longs({-2147483647})), 2147483647);
    Bind(u"libc.so.6", u"labs", callType);  // a 32-bit argument arrives sign-extended
    EXPECT_EQ(Call(Longs({-5})), 5);
    Bind(kTestLib, u"TestOrder2", callType);
    EXPECT_EQ(Call(Longs({7, -3})), 6997);
    // Ten arguments: four more than the registers that carry integer arguments.
    Bind(kTestLib, u"TestDigits10", callType);
    EXPECT_EQ(Call(Longs({1, 2, 3, 4, 5, 6, 7, 8, 9, 0})), 1234567890);
    for (int32_t which = 1; which <= 10; ++which) {
      Bind(kTestLib, u"TestPick10", callType);
      EXPECT_EQ(Call(Longs({which, 20, 30, 40, 50, 60, 70, 80, 90, 100})),
                which == 1 ? 1 : which * 10);
    }
    Bind(kTestLib, u"TestNoArguments", callType);
    EXPECT_EQ(Call(MakeParams({})), 4242);  // upper bound -1: no arguments, aligned stack
  }
  EXPECT_EQ(boxes_.Count(), 0u);
}

TEST_F(FunctionCallClass, ElementsAreCoercedAsTheClientWroteThem) {
  Bind(kTestLib, u"TestOrder2");
  EXPECT_EQ(Call(MakeParams({Variant(u"12"), Variant(2.5)})), 12002);  // half to even
  Bind(kTestLib, u"TestOrder2");
  EXPECT_EQ(Call(MakeParams({Variant(true), Variant()})), -1000);
}

TEST_F(FunctionCallClass, ASuccessfulCallClearsTheBindingAndTheNextCallShowsTheBox) {
  Bind(kTestLib, u"TestNegate");
  EXPECT_EQ(Call(Longs({5})), -5);
  EXPECT_EQ(Call(Longs({5})), 0);
  ASSERT_EQ(boxes_.Count(), 1u);
  EXPECT_EQ(boxes_.Calls()[0],
            (MessageBoxCall{0, "Function not defined!", "Call function error", 16}));
}

TEST_F(FunctionCallClass, BadArgumentsAreTheMembersErrorAndKeepTheBinding) {
  Bind(kTestLib, u"TestNegate");
  EXPECT_EQ(ErrorOf(MakeParams({Variant(u"seven")})), 13);
  EXPECT_EQ(ErrorOf(MakeParams({Variant(4294967296.0)})), 6);
  EXPECT_EQ(ErrorOf(MakeParams({Variant(int32_t{1})}, 1)), 9);  // lower bound 1
  EXPECT_EQ(ErrorOf(Variant(int32_t{5})), 13);                  // no array at all
  EXPECT_EQ(Call(Longs({9})), -9);
  EXPECT_EQ(boxes_.Count(), 0u);
}

TEST_F(FunctionCallClass, MissingLibraryAndFunctionShowTheirBoxes) {
  PutProperty(caller_.Get(), "LibraryName", Variant(u"no-such-library.so"));
  PutProperty(caller_.Get(), "FunctionName", Variant(u"abs"));
  PutProperty(caller_.Get(), "LibraryName", Variant(u"libc.so.6"));
  PutProperty(caller_.Get(), "FunctionName", Variant(u"ABS"));
  const char kNote[] =
      "\r\nNote: function names are case sensitive, check out you function "
      "spelling!";
  // No library held: the program's own exports have no abs.
  const std::vector<MessageBoxCall> expected = {
      {0, "Can not find library \"no-such-library.so\"", "Function call error", 16},
      {0, std::string("Can not find function entry point for \"abs\"") + kNote,
       "Function call error", 16},
      {0, std::string("Can not find function entry point for \"ABS\"") + kNote,
       "Function call error", 16},
  };
  EXPECT_EQ(boxes_.Calls(), expected);
  EXPECT_EQ(Call(Longs({1})), 0);  // nothing bound
}

TEST_F(FunctionCallClass, MembersAreWriteOnlyExceptCallFunction) {
  EXPECT_THROW(GetProperty(caller_.Get(), "LibraryName"), RuntimeError);
  EXPECT_THROW(GetProperty(caller_.Get(), "CallType"), RuntimeError);
}

}  // namespace
}  // namespace orvex
