// The reporting convention: a failed step is reported to the framework component with the
// eight arguments of ErrorHandlerMessageQ7 and the next step runs; a report that can't be
// delivered ends the operation with that failure.
#include <gtest/gtest.h>

#include "platform/ole/late_bound.h"
#include "server/frame/bas_q7el_common_a.h"
#include "support/recording_component.h"

namespace orvex {
namespace {

// A reporting operation of three steps whose second step fails.
std::vector<int> RunOperation() {
  std::vector<int> ran;
  StepRunner step = ReportingSteps("TestOperation");
  step([&] { ran.push_back(1); });
  step([&] {
    ran.push_back(2);
    throw RuntimeError(Err::Overflow);
  });
  step([&] { ran.push_back(3); });
  return ran;
}

TEST(Reporting, AFailedStepIsReportedOnceWithItsEightArgumentsAndTheNextStepRuns) {
  test::RecordingComponent component;
  EXPECT_EQ(RunOperation(), (std::vector<int>{1, 2, 3}));

  auto calls = component.Calls();
  ASSERT_EQ(calls.size(), 1u);
  const test::RecordedCall& call = calls[0];
  EXPECT_EQ(call.member, "ErrorHandlerMessageQ7");
  EXPECT_EQ(call.types,
            (std::vector<VARTYPE>{VT_BYREF | VT_DISPATCH, VT_DISPATCH, VT_BYREF | VT_BSTR, VT_BSTR,
                                  VT_BYREF | VT_I4, VT_BSTR, VT_I4, VT_ERROR}));
  ComPtr<IDispatch> app = call.values[0].ToDispatch();
  ASSERT_TRUE(app);
  EXPECT_EQ(GetProperty(app.Get(), "Title").ToString(), u"Orvex10");
  ComPtr<IDispatch> error = call.values[1].ToDispatch();
  ASSERT_TRUE(error);
  EXPECT_EQ(GetProperty(error.Get(), "Number").ToLong(), 6);
  EXPECT_EQ(GetProperty(error.Get(), "Description").ToString(), u"Overflow");
  EXPECT_EQ(GetProperty(error.Get(), "Source").ToString(), u"Orvex10");
  EXPECT_EQ(call.values[2].ToString(), u"");
  EXPECT_EQ(call.values[3].ToString(), u"clsQ7ResfResourceTypesA.TestOperation");
  EXPECT_EQ(call.values[4].ToLong(), 0);
  EXPECT_EQ(call.values[5].ToString(), u"");
  EXPECT_EQ(call.values[6].ToLong(), 0);
  EXPECT_EQ(call.values[7].scode, DISP_E_PARAMNOTFOUND);
}

TEST(Reporting, WithoutTheComponentTheOperationStopsWithTheCreationFailure) {
  test::RevokeFrameworkClasses();  // and the test's registry file names no such class
  std::vector<int> ran;
  try {
    StepRunner step = ReportingSteps("TestOperation");
    step([&] { ran.push_back(1); });
    step([&] { throw RuntimeError(Err::Overflow); });
    step([&] { ran.push_back(3); });
    FAIL() << "the operation went on";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Number(), 429);
    EXPECT_NE(e.Description().find("Q7Halden10.clsQ7elErrorHandlerA"), std::string::npos);
  }
  EXPECT_EQ(ran, std::vector<int>{1});
}

TEST(Reporting, AboutPassesTheApplicationObjectByValue) {
  test::RecordingComponent component;
  ComPtr<IDispatch> self = CreateObject(u"Orvex10.clsQ7Orvex10A");
  EXPECT_EQ(Call(self.Get(), "About").ToLong(), 0);
  auto calls = component.Calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].member, "AppAboutQ7el");
  EXPECT_EQ(calls[0].types, std::vector<VARTYPE>{VT_DISPATCH});
  EXPECT_EQ(GetProperty(calls[0].values[0].ToDispatch().Get(), "ProductName").ToString(),
            u"Orvex10");
}

TEST(Reporting, AboutReportsItsOwnFailureAndStillReturnsZero) {
  test::RecordingComponent component({.withAbout = false});
  ComPtr<IDispatch> self = CreateObject(u"Orvex10.clsQ7Orvex10A");
  EXPECT_EQ(Call(self.Get(), "About").ToLong(), 0);
  auto calls = component.Calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].values[3].ToString(), u"basQ7elCommonA.AppAboutQ7el_Pro");
  EXPECT_EQ(GetProperty(calls[0].values[1].ToDispatch().Get(), "Number").ToLong(), 429);
}

TEST(Reporting, AboutWithoutAnyComponentFailsAcrossInvoke) {
  test::RevokeFrameworkClasses();
  ComPtr<IDispatch> self = CreateObject(u"Orvex10.clsQ7Orvex10A");
  DISPID about = GetDispId(self.Get(), "About");
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  EXCEPINFO info{};
  Variant result;
  EXPECT_EQ(self->Invoke(about, IID_NULL, 0, DISPATCH_METHOD, &none, &result, &info, nullptr),
            DISP_E_EXCEPTION);
  EXPECT_EQ(static_cast<uint32_t>(info.scode), 0x800A01ADu);  // 429
  SysFreeString(info.bstrSource);
  SysFreeString(info.bstrDescription);
}

}  // namespace
}  // namespace orvex
