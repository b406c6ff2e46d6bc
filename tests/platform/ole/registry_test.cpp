#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/ole/class_registry.h"
#include "platform/ole/late_bound.h"
#include "platform/ole/registry_file.h"
#include "support/temp_dir.h"

namespace orvex {
namespace {

class clsEmpty : public Dispatchable {
 public:
  using Dispatchable::Dispatchable;
};

const ClassInfo& EmptyInfo() {
  static const ClassInfo info(
      {"clsEmpty", "OleTest.clsEmpty", MakeGuid("{AAAAAAAA-2222-3333-4444-555555555555}"),
       "_clsEmpty", MakeGuid("{AAAAAAAA-2222-3333-4444-555555555556}")},
      {}, &CreateOf<clsEmpty>);
  return info;
}

// A class that other objects make: it has no ProgID.
const ClassInfo& MadeInfo() {
  static const ClassInfo info({"clsMade", "", MakeGuid("{AAAAAAAA-2222-3333-4444-555555555557}"),
                               "_clsMade", MakeGuid("{AAAAAAAA-2222-3333-4444-555555555558}")},
                              {}, &CreateOf<clsEmpty>);
  return info;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Points the registry file at a private folder for one test.
class RegistryFileTest : public testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_.File("registry.ini");
    setenv("ORVEX_REGISTRY", path_.c_str(), 1);
  }
  void TearDown() override { unsetenv("ORVEX_REGISTRY"); }

  test::TempDir dir_;
  std::string path_;
};

TEST_F(RegistryFileTest, KeepsKeysInOrderAndRoundTripsItsText) {
  RegistryFile file;
  file.Set("B\\Key", "@", "one");
  file.Set("A\\Key", "Name", "two");
  file.Set("b\\key", "@", "three");  // keys compare without regard to case
  file.Set("B\\Key\\Sub", "@", "four");
  ASSERT_TRUE(file.Save(path_));
  EXPECT_EQ(ReadFile(path_),
            "; Orvex10 automation registry\n[B\\Key]\n@=three\n[A\\Key]\nName=two\n"
            "[B\\Key\\Sub]\n@=four\n");
  auto loaded = RegistryFile::Load(path_);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->Text(), ReadFile(path_));
  EXPECT_EQ(loaded->Get("a\\KEY", "name"), "two");
  loaded->DeleteTree("B\\Key");
  EXPECT_FALSE(loaded->HasKey("B\\Key\\Sub"));
  EXPECT_TRUE(loaded->HasKey("A\\Key"));
  loaded->DeleteTree("A\\Key");
  ASSERT_TRUE(loaded->Save(path_));
  EXPECT_FALSE(std::ifstream(path_).good());  // an empty registry leaves no file
}

TEST_F(RegistryFileTest, CreatesInProcessClassesByProgId) {
  ASSERT_EQ(RegisterClassInProcess(EmptyInfo()), S_OK);
  ComPtr<IDispatch> object = CreateObject(u"oletest.CLSEMPTY");
  ASSERT_TRUE(object);
  UINT count = 0;
  object->GetTypeInfoCount(&count);
  EXPECT_EQ(count, 1u);
  ASSERT_EQ(CoRevokeClassObject(EmptyInfo().Clsid()), S_OK);

  ComPtr<IDispatch> none;
  EXPECT_EQ(TryCreateObject(u"OleTest.clsEmpty", &none), CO_E_CLASSSTRING);
  try {
    CreateObject(u"OleTest.clsEmpty");
    FAIL();
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Number(), 429);
  }
}

TEST_F(RegistryFileTest, RegistrationWritesAndRemovesExactlyItsKeys) {
  RegistryFile before;
  before.Set("Other.Component\\CLSID", "@", "{12345678-1234-1234-1234-123456789012}");
  ASSERT_TRUE(before.Save(path_));
  std::string original = ReadFile(path_);

  const ClassInfo* classes[] = {&EmptyInfo(), &MadeInfo()};
  ServerDescription server{"OleTest", MakeGuid("{AAAAAAAA-2222-3333-4444-000000000000}"), "1.0",
                           classes};
  ASSERT_EQ(RegisterServer(server, dir_.File("missing-library.so")), S_OK);
  auto written = RegistryFile::Load(path_);
  ASSERT_TRUE(written);
  EXPECT_EQ(written->Get("OleTest.clsEmpty\\CLSID"), GuidToString(EmptyInfo().Clsid()));
  std::string clsidKey = "CLSID\\" + GuidToString(EmptyInfo().Clsid());
  EXPECT_EQ(written->Get(clsidKey + "\\InprocServer32", "ThreadingModel"), "Apartment");
  // A class without a ProgID is registered by its CLSID alone.
  const std::string madeKey = "CLSID\\" + GuidToString(MadeInfo().Clsid());
  EXPECT_TRUE(written->HasKey(madeKey + "\\InprocServer32"));
  EXPECT_FALSE(written->HasKey(madeKey + "\\ProgID"));
  EXPECT_FALSE(written->HasKey(""));
  EXPECT_FALSE(written->HasKey("\\CLSID"));

  // The ProgID resolves through the file; the library it names can't be loaded.
  ComPtr<IDispatch> object;
  EXPECT_EQ(TryCreateObject(u"OleTest.clsEmpty", &object), CO_E_DLLNOTFOUND);

  ASSERT_EQ(UnregisterServer(server), S_OK);
  EXPECT_EQ(ReadFile(path_), original);
}

TEST(Guid, TextRoundTrip) {
  constexpr GUID g = MakeGuid("{49BB8B3D-B26B-45EE-B792-CB396FE4F1C3}");
  EXPECT_EQ(GuidToString(g), "{49BB8B3D-B26B-45EE-B792-CB396FE4F1C3}");
  GUID parsed{};
  ASSERT_TRUE(GuidFromString("{49bb8b3d-b26b-45ee-b792-cb396fe4f1c3}", &parsed));
  EXPECT_EQ(parsed, g);
  EXPECT_FALSE(GuidFromString("{49BB8B3D-B26B-45EE-B792-CB396FE4F1C}", &parsed));
}

}  // namespace
}  // namespace orvex
