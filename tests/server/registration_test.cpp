// Registration of liborvex10.so and creation of every class through the registry file, as
// an outside client that links nothing of the library sees it.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/ole/late_bound.h"
#include "platform/ole/registry_file.h"
#include "platform/text/text.h"
#include "server/class_catalogue.h"
#include "server/frame/class_ids.h"
#include "server/test_environment.h"

namespace orvex {
namespace {

using ServerFunction = HRESULT (*)();

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(Registration, RegistersCreatesEveryClassFindsEveryMemberAndUnregisters) {
  const std::string& path = test::TestRegistryPath();
  RegistryFile other;
  other.Set("Some.Other\\CLSID", "@", "{12345678-1234-1234-1234-123456789012}");
  ASSERT_TRUE(other.Save(path));
  const std::string before = ReadFile(path);

  void* library = dlopen(ORVEX10_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  auto registerServer = reinterpret_cast<ServerFunction>(dlsym(library, "DllRegisterServer"));
  auto unregisterServer = reinterpret_cast<ServerFunction>(dlsym(library, "DllUnregisterServer"));
  auto canUnload = reinterpret_cast<ServerFunction>(dlsym(library, "DllCanUnloadNow"));
  ASSERT_TRUE(registerServer && unregisterServer && canUnload);

  // Creation below must go through the registry file, not this process's own classes.
  for (const ClassInfo* info : Orvex10Classes()) CoRevokeClassObject(info->Clsid());

  ASSERT_EQ(registerServer(), S_OK);
  auto registry = RegistryFile::Load(path);
  ASSERT_TRUE(registry);
  EXPECT_EQ(registry->Get("TypeLib\\" + GuidToString(LIBID_Orvex10) + "\\1.0"), "Orvex10");

  size_t classes = 0;
  for (const ClassInfo* info : Orvex10Classes()) {
    SCOPED_TRACE(info->Name());
    std::string clsidKey = "CLSID\\" + GuidToString(info->Clsid());
    EXPECT_EQ(registry->Get(clsidKey + "\\InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_EQ(registry->Get(std::string(info->ProgId()) + "\\CLSID"), GuidToString(info->Clsid()));

    ComPtr<IDispatch> object = CreateObject(Utf8ToUtf16(info->ProgId()));
    ASSERT_TRUE(object);
    ++classes;
    ComPtr<IUnknown> byIid;
    EXPECT_EQ(object->QueryInterface(info->Iid(), byIid.PutVoid()), S_OK);

    ComPtr<ITypeInfo> typeInfo;
    ASSERT_EQ(object->GetTypeInfo(0, 0, typeInfo.Put()), S_OK);
    const TYPEATTR* attr = nullptr;
    ASSERT_EQ(typeInfo->GetTypeAttr(&attr), S_OK);
    EXPECT_EQ(attr->guid, info->Iid());
    auto members = info->Members();
    ASSERT_EQ(attr->cFuncs, members.size());
    for (size_t i = 0; i < members.size(); ++i) {
      const MemberDesc& m = members[i];
      SCOPED_TRACE(m.name);
      EXPECT_EQ(GetDispId(object.Get(), m.name), m.dispid);
      const FUNCDESC* desc = nullptr;
      ASSERT_EQ(typeInfo->GetFuncDesc(static_cast<UINT>(i), &desc), S_OK);
      EXPECT_EQ(desc->memid, m.dispid);
      EXPECT_EQ(desc->invkind, static_cast<INVOKEKIND>(m.kind));
      ASSERT_EQ(desc->cParams, m.paramCount);
      for (size_t p = 0; p < m.paramCount; ++p) {
        EXPECT_EQ(desc->lprgelemdescParam[p].vt,
                  m.params[p].type.vt | (m.params[p].byRef ? VT_BYREF : 0));
        EXPECT_STREQ(desc->lprgelemdescParam[p].typeName, m.params[p].type.name);
      }
    }
  }
  EXPECT_EQ(classes, 10u);

  // A released catalogue stays in its thread's slot until a handler goes.
  CreateObject(u"Orvex10.clsQ7ResfResourceTypesA").Reset();
  EXPECT_EQ(canUnload(), S_FALSE);
  CreateObject(u"Orvex10.clsQ7ResfResourceHandlerA").Reset();
  EXPECT_EQ(canUnload(), S_OK);

  ASSERT_EQ(unregisterServer(), S_OK);
  EXPECT_EQ(ReadFile(path), before);
  ComPtr<IDispatch> gone;
  EXPECT_TRUE(FAILED(TryCreateObject(u"Orvex10.clsQ7ResfResourceTypesA", &gone)));

  for (const ClassInfo* info : Orvex10Classes()) RegisterClassInProcess(*info);
}

// The identifiers as the type library publishes them (a sample of each kind of row).
TEST(Registration, TablesCarryThePublishedIdentifiers) {
  struct Row {
    const ClassInfo& info;
    const char* member;
    DISPID dispid;
    size_t params;
  };
  const Row rows[] = {
      {clsQ7ResfResourceTypesAInfo(), "PlayAVIObject", 0x40030005, 0},
      {clsQ7ResfResourceTypesAInfo(), "Filename", 0x68030004, 0},
      {clsQ7ResfResourceTypesAInfo(), "Item", 0x68030000, 1},
      {clsQ7ResfResourceTypesAInfo(), "GetHexDump", 0x60030017, 2},
      {clsQ7ResfResourceTypesAInfo(), "PlayAVI", 0x6003001A, 7},
      {clsQ7ResfResourceTypesAInfo(), "ShowAVI", 0x6003001C, 7},
      {clsQ7ResfResourceTypesAInfo(), "EmptyResourceTmpFolder", 0x60030023, 1},
      {clsQ7ResfResourceTypeAInfo(), "ResourceItems", 0x68030000, 0},
      {clsQ7ResfResourceItemsAInfo(), "NewEnum", 0x68030002, 0},
      {clsQ7ResfResourceItemsAInfo(), "EnumStartResourceItems", 0x60030008, 0},
      {clsQ7ResfResourceItemAInfo(), "Size", 0x68030000, 0},
      {clsQ7ResfResourceHandlerAInfo(), "Resources", 0x68030000, 0},
      {clsQ7Orvex10AInfo(), "About", 0x60030006, 0},
      {clsQ7Orvex10AInfo(), "GetProResPicture", 0x68030002, 2},
      {clsQ7ResfPlayAviAInfo(), "Create", 0x60030001, 6},
      {clsQ7ResfFunctionCallAInfo(), "CallFunction", 0x60030005, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.member);
    EXPECT_EQ(row.info.FindName(std::string_view(row.member)), row.dispid);
    const MemberDesc* m = row.info.Find(row.dispid, DISPATCH_METHOD | DISPATCH_PROPERTYGET);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->paramCount, row.params);
  }
  EXPECT_EQ(clsQ7ResfResourceTypesAInfo().Members().size(), 36u);
  EXPECT_EQ(clsQ7ResfResourceTypeAInfo().Members().size(), 10u);
  EXPECT_EQ(clsQ7ResfResourceItemsAInfo().Members().size(), 8u);
  EXPECT_EQ(clsQ7ResfResourceItemAInfo().Members().size(), 10u);
  EXPECT_EQ(clsQ7Orvex10AInfo().Members().size(), 7u);
  EXPECT_EQ(clsQ7ResfGeneralAInfo().Members().size(), 0u);
  EXPECT_EQ(clsQ7ResfAdvancedAInfo().Members().size(), 0u);
  EXPECT_EQ(clsQ7ResfPlayAviAInfo().Members().size(), 5u);
  EXPECT_EQ(clsQ7ResfFunctionCallAInfo().Members().size(), 4u);
  EXPECT_EQ(std::size(kResTypesMembers), 20u);
}

}  // namespace
}  // namespace orvex
