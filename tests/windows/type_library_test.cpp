// The registered type library, read back as early-binding clients read it (LoadRegTypeLib
// and ITypeInfo), against the class table it was generated from: every class's coclass
// and default interface, and every member's DISPID, kind, parameter count, optional and
// by-reference flags, in slot order after IDispatch's seven slots.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>

#include "platform/ole/dispatch.h"
#include "server/class_catalogue.h"
#include "server/frame/class_ids.h"

#include <windows.h>
// (windows.h first.)
#include <oleauto.h>

namespace orvex {
namespace {

::GUID Real(const GUID& guid) {
  ::GUID out;
  std::memcpy(&out, &guid, sizeof out);
  return out;
}

::INVOKEKIND KindOf(MemberKind kind) {
  switch (kind) {
    case MemberKind::Get:
      return ::INVOKE_PROPERTYGET;
    case MemberKind::Let:
      return ::INVOKE_PROPERTYPUT;
    case MemberKind::Set:
      return ::INVOKE_PROPERTYPUTREF;
    case MemberKind::Method:
      break;
  }
  return ::INVOKE_FUNC;
}

class TypeLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr)));
    const HRESULT hr = ::LoadRegTypeLib(Real(LIBID_Orvex10), 1, 0, 0, &library_);
    ASSERT_TRUE(SUCCEEDED(hr)) << "the type library is not registered: 0x" << std::hex << hr;
  }
  void TearDown() override {
    if (library_ != nullptr) library_->Release();
    ::CoUninitialize();
  }
  ::ITypeLib* library_ = nullptr;
};

TEST_F(TypeLibraryTest, EveryMemberOfEveryClassAsTheTableSays) {
  for (const ClassInfo* info : Orvex10Classes()) {
    SCOPED_TRACE(info->Name());
    ::ITypeInfo* coclass = nullptr;
    ASSERT_TRUE(SUCCEEDED(library_->GetTypeInfoOfGuid(Real(info->Clsid()), &coclass)));
    coclass->Release();

    ::ITypeInfo* dispatch = nullptr;
    ASSERT_TRUE(SUCCEEDED(library_->GetTypeInfoOfGuid(Real(info->Iid()), &dispatch)));
    // A dual interface: its vtable part lists the members in slot order.
    ::HREFTYPE ref = 0;
    ::ITypeInfo* dual = dispatch;
    if (SUCCEEDED(dispatch->GetRefTypeOfImplType(-1, &ref)) &&
        SUCCEEDED(dispatch->GetRefTypeInfo(ref, &dual))) {
      dispatch->Release();
    } else {
      dual = dispatch;
    }
    ::TYPEATTR* attr = nullptr;
    ASSERT_TRUE(SUCCEEDED(dual->GetTypeAttr(&attr)));
    const auto members = info->Members();
    EXPECT_EQ(attr->cFuncs, members.size());
    const UINT count = std::min<UINT>(attr->cFuncs, static_cast<UINT>(members.size()));
    dual->ReleaseTypeAttr(attr);
    for (UINT i = 0; i < count; ++i) {
      const MemberDesc& m = members[i];
      SCOPED_TRACE(m.name);
      ::FUNCDESC* desc = nullptr;
      ASSERT_TRUE(SUCCEEDED(dual->GetFuncDesc(i, &desc)));
      EXPECT_EQ(desc->memid, m.dispid);
      EXPECT_EQ(desc->invkind, KindOf(m.kind));
      EXPECT_EQ(desc->oVft, static_cast<SHORT>((7 + i) * sizeof(void*)));
      const bool hasResult = m.result.vt != VT_EMPTY;
      EXPECT_EQ(desc->cParams, static_cast<SHORT>(m.paramCount + (hasResult ? 1 : 0)));
      for (size_t p = 0; p < m.paramCount && p < static_cast<size_t>(desc->cParams); ++p) {
        const ParamDesc& param = m.params[p];
        const ::ELEMDESC& element = desc->lprgelemdescParam[p];
        const USHORT flags = element.paramdesc.wParamFlags;
        EXPECT_EQ((flags & PARAMFLAG_FOPT) != 0, param.optional) << param.name;
        EXPECT_EQ((flags & PARAMFLAG_FHASDEFAULT) != 0, param.hasDefault) << param.name;
        // By reference, or an interface of a named type (Object is IDispatch, VT_DISPATCH).
        const bool pointer = param.byRef || (param.type.vt == VT_DISPATCH &&
                                             std::string_view(param.type.name) != "Object");
        EXPECT_EQ(element.tdesc.vt == VT_PTR, pointer) << param.name;
      }
      ::BSTR name = nullptr;
      UINT got = 0;
      ASSERT_TRUE(SUCCEEDED(dual->GetNames(m.dispid, &name, 1, &got)));
      char ansi[128] = {};
      ::WideCharToMultiByte(CP_ACP, 0, name, -1, ansi, sizeof ansi, nullptr, nullptr);
      EXPECT_STREQ(ansi, m.name);
      ::SysFreeString(name);
      dual->ReleaseFuncDesc(desc);
    }
    dual->Release();
  }
}

TEST_F(TypeLibraryTest, TheEnumerationsAndTheLibrarysAttributes) {
  ::TLIBATTR* attr = nullptr;
  ASSERT_TRUE(SUCCEEDED(library_->GetLibAttr(&attr)));
  EXPECT_EQ(attr->wMajorVerNum, 1);
  EXPECT_EQ(attr->wMinorVerNum, 0);
  EXPECT_EQ(attr->lcid, 1033u);
  library_->ReleaseTLibAttr(attr);

  ::ITypeInfo* resTypes = nullptr;
  ASSERT_TRUE(SUCCEEDED(library_->GetTypeInfoOfGuid(Real(GUID_ResTypes), &resTypes)));
  ::TYPEATTR* typeAttr = nullptr;
  ASSERT_TRUE(SUCCEEDED(resTypes->GetTypeAttr(&typeAttr)));
  EXPECT_EQ(typeAttr->typekind, ::TKIND_ENUM);
  EXPECT_EQ(typeAttr->cVars, std::size(kResTypesMembers));
  resTypes->ReleaseTypeAttr(typeAttr);
  for (UINT i = 0; i < std::size(kResTypesMembers); ++i) {
    ::VARDESC* var = nullptr;
    ASSERT_TRUE(SUCCEEDED(resTypes->GetVarDesc(i, &var)));
    EXPECT_EQ(var->lpvarValue->lVal, kResTypesMembers[i].value);
    resTypes->ReleaseVarDesc(var);
  }
  resTypes->Release();
}

}  // namespace
}  // namespace orvex
