// clsQ7Orvex10A's own resources through late-bound calls: the version block and the
// interface identifiers it carries, and the errors for everything it does not carry.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/ole/late_bound.h"
#include "platform/ole/oleauto.h"
#include "server/frame/class_ids.h"

namespace orvex {
namespace {

class OwnResources : public ::testing::Test {
 protected:
  void SetUp() override { self_ = CreateObject(u"Orvex10.clsQ7Orvex10A"); }

  // Every argument by reference, as the members declare them.
  Variant Member(const char* name, int32_t lResId, Variant type) {
    LONG id = lResId;
    if (type.vt == VT_I4 && std::string(name) == "GetProResPicture") {
      LONG kind = type.lVal;
      return GetProperty(self_.Get(), name, {Variant::RefTo(id), Variant::RefTo(kind)});
    }
    if (type.vt == VT_EMPTY) return GetProperty(self_.Get(), name, {Variant::RefTo(id)});
    return GetProperty(self_.Get(), name, {Variant::RefTo(id), Variant::RefTo(type)});
  }
  int32_t ErrorOf(const char* name, int32_t lResId, Variant type = Variant()) {
    try {
      Member(name, lResId, std::move(type));
    } catch (const RuntimeError& error) {
      return error.Number();
    }
    return 0;
  }
  static std::string ArrayBytes(const Variant& v) {
    EXPECT_EQ(v.vt, VT_ARRAY | VT_UI1);
    if (v.vt != (VT_ARRAY | VT_UI1)) return {};
    return std::string(static_cast<const char*>(v.parray->pvData),
                       v.parray->rgsabound[0].cElements);
  }
  static std::string Utf16Bytes(std::u16string_view text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
  }

  ComPtr<IDispatch> self_;
};

TEST_F(OwnResources, TheVersionBlockDescribesTheLibrary) {
  for (Variant type : {Variant(int32_t{16}), Variant(u"#16"), Variant(16.0)}) {
    const std::string block = ArrayBytes(Member("GetProResData", 1, type));
    ASSERT_GT(block.size(), 92u);
    EXPECT_EQ(block.substr(6, 30), Utf16Bytes(u"VS_VERSION_INFO"));
    uint32_t signature = 0, fileVersionMs = 0;
    std::memcpy(&signature, block.data() + 40, 4);
    std::memcpy(&fileVersionMs, block.data() + 48, 4);
    EXPECT_EQ(signature, 0xFEEF04BDu);
    EXPECT_EQ(fileVersionMs, 0x00010000u);  // 1.0
    EXPECT_NE(block.find(Utf16Bytes(u"Orvex10 resource automation library")), std::string::npos);
  }
  ComPtr<IDispatch> app = GetProperty(self_.Get(), "GetProStdProperties").ToDispatch();
  EXPECT_NE(GetProperty(app.Get(), "hInstance").ToLong(), 0);
  EXPECT_EQ(GetProperty(app.Get(), "FileDescription").ToString(),
            u"Orvex10 resource automation library");
}

TEST_F(OwnResources, EachClassHasItsInterfaceIdentifier) {
  const std::string iid = ArrayBytes(Member("GetProResData", 8, Variant(u"iid")));
  ASSERT_EQ(iid.size(), sizeof(IID));
  EXPECT_EQ(std::memcmp(iid.data(), &IID__clsQ7Orvex10A, sizeof(IID)), 0);
  EXPECT_EQ(ArrayBytes(Member("GetProResData", 10, Variant(u"IID"))).size(), sizeof(IID));
}

TEST_F(OwnResources, WhatTheLibraryDoesNotCarryIsTheMembersError) {
  struct Case {
    const char* member;
    int32_t id;
    Variant type;
    int32_t error;
  };
  const Case cases[] = {
      {"GetProResData", 2, Variant(int32_t{16}), 326},
      {"GetProResData", 1, Variant(int32_t{6}), 326},
      {"GetProResData", 11, Variant(u"IID"), 326},
      {"GetProResData", 1, Variant(u"NOSUCHTYPE"), 326},
      {"GetProResData", 1, Variant(int32_t{70000}), 326},
      {"GetProResData", 0x10001, Variant(int32_t{16}), 326},
      {"GetProResData", 1, Variant::Null(), 13},
      {"GetProResData", 1, Variant(u"#16x"), 326},
      {"GetProResStrings", 0, Variant(), 326},
      {"GetProResStrings", 1, Variant(), 326},
      {"GetProResStrings", -1, Variant(), 326},
      {"GetProResStrings", 70000, Variant(), 326},
      {"GetProResPicture", 1, Variant(int32_t{0}), 326},
      {"GetProResPicture", 1, Variant(int32_t{1}), 326},
      {"GetProResPicture", 1, Variant(int32_t{2}), 326},
      {"GetProResPicture", 1, Variant(int32_t{3}), 5},
      // lRestype is a 16-bit kind: beyond it, overflow before anything is looked up.
      {"GetProResPicture", 1, Variant(int32_t{32768}), 6},
      {"GetProResPicture", 1, Variant(int32_t{-32769}), 6},
      {"GetProResPicture", 0x7FFFFFFF, Variant(int32_t{65536}), 6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.member) + " " + std::to_string(c.id));
    EXPECT_EQ(ErrorOf(c.member, c.id, c.type), c.error);
  }
}

}  // namespace
}  // namespace orvex
