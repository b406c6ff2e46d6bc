// The framework component's default behaviour, reached in-process and through the registry
// file as the library reaches it.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "framework/q7halden10.h"
#include "platform/fs/drive_testing.h"
#include "platform/ole/late_bound.h"
#include "platform/user/message_box_script.h"
#include "server/class_catalogue.h"
#include "server/frame/bas_q7el_common_a.h"
#include "support/temp_dir.h"

namespace orvex {
namespace {

class FrameworkTest : public testing::Test {
 protected:
  void SetUp() override {
    setenv("ORVEX_REGISTRY", dir_.File("registry.ini").c_str(), 1);
    SetDriveRootForTesting(dir_.File("drive_c"));
    RegisterOrvex10Classes();
  }
  void TearDown() override {
    RevokeQ7Halden10Classes();
    SetDriveRootForTesting("");
    unsetenv("ORVEX_REGISTRY");
  }
  test::TempDir dir_;
};

TEST_F(FrameworkTest, AReportIsOneReadableLineOnStderr) {
  RegisterQ7Halden10Classes();
  testing::internal::CaptureStderr();
  ErrorHandlerMessageQ7(RuntimeError(Err::FileNotFound), "clsQ7ResfResourceTypesA.SaveData");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "clsQ7ResfResourceTypesA.SaveData: error 53: File not found\n");
}

TEST_F(FrameworkTest, AboutShowsTheApplicationThroughAMessageBox) {
  RegisterQ7Halden10Classes();
  ScriptedMessageBoxes boxes;
  ComPtr<IDispatch> self = CreateObject(u"Orvex10.clsQ7Orvex10A");
  EXPECT_EQ(Call(self.Get(), "About").ToLong(), 0);
  ASSERT_EQ(boxes.Count(), 1u);
  MessageBoxCall box = boxes.Calls()[0];
  EXPECT_EQ(box.caption, "About Orvex10");
  EXPECT_EQ(box.text.rfind("Orvex10 1.0.0\r\n", 0), 0u) << box.text;
  EXPECT_EQ(box.style, MB_OK | MB_ICONINFORMATION);
}

TEST_F(FrameworkTest, TheSharedLibraryIsFoundThroughTheRegistryFile) {
  void* library = dlopen(Q7HALDEN10_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  auto registerServer = reinterpret_cast<HRESULT (*)()>(dlsym(library, "DllRegisterServer"));
  auto unregisterServer = reinterpret_cast<HRESULT (*)()>(dlsym(library, "DllUnregisterServer"));
  ASSERT_TRUE(registerServer && unregisterServer);
  ASSERT_EQ(registerServer(), S_OK);

  testing::internal::CaptureStderr();
  ErrorHandlerMessageQ7(RuntimeError(Err::Overflow), "clsQ7ResfResourceTypesA.GetString");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "clsQ7ResfResourceTypesA.GetString: error 6: Overflow\n");

  ASSERT_EQ(unregisterServer(), S_OK);
  try {
    ErrorHandlerMessageQ7(RuntimeError(Err::Overflow), "x.y");
    FAIL() << "the component is no longer registered";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Number(), 429);
  }
}

}  // namespace
}  // namespace orvex
