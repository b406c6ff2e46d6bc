#include <gtest/gtest.h>

#include <cstring>

#include "base/runtime_error.h"
#include "platform/ole/oleauto.h"
#include "platform/ole/wrappers.h"

namespace orvex {
namespace {

TEST(Bstr, IsLengthPrefixedAndKeepsEmbeddedNul) {
  const char16_t text[] = u"a\0b";
  Bstr s = Bstr::Attach(SysAllocStringLen(text, 3));
  uint32_t prefix;
  std::memcpy(&prefix, reinterpret_cast<const char*>(s.Get()) - 4, 4);
  EXPECT_EQ(prefix, 6u);
  EXPECT_EQ(s.Length(), 3u);
  EXPECT_EQ(s.Get()[3], u'\0');
  EXPECT_EQ(s.View(), std::u16string_view(text, 3));
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  EXPECT_EQ(BstrView(nullptr), u"");
}

struct Coercion {
  Variant in;
  VARTYPE to;
  HRESULT hr;
  Variant expected;
};

TEST(VariantChangeType, FollowsTheAutomationCoercions) {
  const Coercion cases[] = {
      {Variant(u" 12 "), VT_I4, S_OK, Variant(12)},
      {Variant(u"-3"), VT_I4, S_OK, Variant(-3)},
      {Variant(u"+4"), VT_I4, S_OK, Variant(4)},
      {Variant(u"1.5"), VT_I4, S_OK, Variant(2)},
      {Variant(u"2.5"), VT_I4, S_OK, Variant(2)},  // half to even
      {Variant(u"3.5"), VT_I4, S_OK, Variant(4)},
      {Variant(u"-2.5"), VT_I4, S_OK, Variant(-2)},
      {Variant(u"1e3"), VT_I4, S_OK, Variant(1000)},
      {Variant(u"1.25E+2"), VT_I4, S_OK, Variant(125)},
      {Variant(u"1,000"), VT_I4, S_OK, Variant(1000)},
      {Variant(u"&H10"), VT_I4, S_OK, Variant(16)},
      {Variant(u"&HFFFF"), VT_I2, S_OK, Variant(int16_t{-1})},
      {Variant(u".5"), VT_R8, S_OK, Variant(0.5)},
      {Variant(u"abc"), VT_I4, DISP_E_TYPEMISMATCH, Variant()},
      {Variant(u""), VT_I4, DISP_E_TYPEMISMATCH, Variant()},
      {Variant(u"  "), VT_I4, DISP_E_TYPEMISMATCH, Variant()},
      {Variant(u"1e"), VT_I4, DISP_E_TYPEMISMATCH, Variant()},
      {Variant(u"1.2.3"), VT_I4, DISP_E_TYPEMISMATCH, Variant()},
      {Variant(u"12abc"), VT_I4, DISP_E_TYPEMISMATCH, Variant()},
      {Variant(u"2147483648"), VT_I4, DISP_E_OVERFLOW, Variant()},
      {Variant(2147483647.5), VT_I4, DISP_E_OVERFLOW, Variant()},
      {Variant(2147483647.4), VT_I4, S_OK, Variant(2147483647)},
      {Variant(-2147483648.5), VT_I4, S_OK, Variant(int32_t{-2147483647 - 1})},
      {Variant(32768), VT_I2, DISP_E_OVERFLOW, Variant()},
      {Variant(-1), VT_UI1, DISP_E_OVERFLOW, Variant()},
      {Variant(1e300), VT_R4, DISP_E_OVERFLOW, Variant()},
      {Variant(u"1e999"), VT_R8, DISP_E_OVERFLOW, Variant()},
      {Variant(u"True"), VT_BOOL, S_OK, Variant(true)},
      {Variant(u"0"), VT_BOOL, S_OK, Variant(false)},
      {Variant(u"yes"), VT_BOOL, DISP_E_TYPEMISMATCH, Variant()},
      {Variant(true), VT_I4, S_OK, Variant(-1)},
      {Variant(true), VT_BSTR, S_OK, Variant(u"-1")},
      {Variant(12), VT_BSTR, S_OK, Variant(u"12")},
      {Variant(0.1), VT_BSTR, S_OK, Variant(u"0.1")},
      {Variant(-2.5), VT_BSTR, S_OK, Variant(u"-2.5")},
      {Variant(1e20), VT_BSTR, S_OK, Variant(u"1E+20")},
      {Variant(), VT_I4, S_OK, Variant(0)},
      {Variant(), VT_BSTR, S_OK, Variant(u"")},
      {Variant::Null(), VT_I4, DISP_E_TYPEMISMATCH, Variant()},
      {Variant::Missing(), VT_I4, DISP_E_TYPEMISMATCH, Variant()},
  };
  for (const Coercion& c : cases) {
    SCOPED_TRACE(testing::Message() << "from vt " << c.in.vt << " to " << c.to);
    Variant out;
    HRESULT hr = VariantChangeType(&out, &c.in, 0, c.to);
    ASSERT_EQ(hr, c.hr);
    if (FAILED(hr)) {
      EXPECT_EQ(out.vt, VT_EMPTY);
      continue;
    }
    ASSERT_EQ(out.vt, c.expected.vt);
    switch (out.vt) {
      case VT_I4:
        EXPECT_EQ(out.lVal, c.expected.lVal);
        break;
      case VT_I2:
        EXPECT_EQ(out.iVal, c.expected.iVal);
        break;
      case VT_R8:
        EXPECT_EQ(out.dblVal, c.expected.dblVal);
        break;
      case VT_BOOL:
        EXPECT_EQ(out.boolVal, c.expected.boolVal);
        break;
      case VT_BSTR:
        EXPECT_EQ(BstrView(out.bstrVal), BstrView(c.expected.bstrVal));
        break;
      default:
        FAIL() << "unexpected type";
    }
  }
}

TEST(VariantChangeType, AlphaBoolAndByReferenceSources) {
  Variant out;
  Variant yes(true);
  ASSERT_EQ(VariantChangeType(&out, &yes, VARIANT_ALPHABOOL, VT_BSTR), S_OK);
  EXPECT_EQ(BstrView(out.bstrVal), u"True");

  LONG value = 42;
  Variant ref = Variant::RefTo(value);
  ASSERT_EQ(VariantChangeType(&out, &ref, 0, VT_BSTR), S_OK);
  EXPECT_EQ(BstrView(out.bstrVal), u"42");

  // In place: the source is replaced by the converted value.
  Variant text(u"7");
  ASSERT_EQ(VariantChangeType(&text, &text, 0, VT_I2), S_OK);
  EXPECT_EQ(text.vt, VT_I2);
  EXPECT_EQ(text.iVal, 7);

  // Variant's helpers throw the run-time errors 13 and 6.
  try {
    (void)Variant(u"x").ToLong();
    FAIL();
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Number(), 13);
  }
  try {
    (void)Variant(u"40000").ToInteger();
    FAIL();
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Number(), 6);
  }
}

TEST(VariantCopy, CopiesDeeplyAndDereferences) {
  Variant text(u"hello");
  Variant copy(text);
  EXPECT_NE(copy.bstrVal, text.bstrVal);
  EXPECT_EQ(BstrView(copy.bstrVal), u"hello");

  BSTR target = SysAllocString(u"by ref");
  Variant ref = Variant::RefTo(target);
  Variant value;
  ASSERT_EQ(VariantCopyInd(&value, &ref), S_OK);
  EXPECT_EQ(value.vt, VT_BSTR);
  EXPECT_NE(value.bstrVal, target);
  EXPECT_EQ(BstrView(value.bstrVal), u"by ref");
  ref = Variant();  // a reference owns nothing
  SysFreeString(target);
}

TEST(SafeArray, ByteVectorsAndVariantArraysWithAnyLowerBound) {
  SAFEARRAY* bytes = SafeArrayCreateVector(VT_UI1, 0, 4);
  ASSERT_NE(bytes, nullptr);
  uint8_t* data = nullptr;
  ASSERT_EQ(SafeArrayAccessData(bytes, reinterpret_cast<void**>(&data)), S_OK);
  std::memcpy(data, "\x01\x02\x03\x04", 4);
  EXPECT_EQ(SafeArrayDestroy(bytes), DISP_E_ARRAYISLOCKED);
  SafeArrayUnaccessData(bytes);
  Variant holder = Variant::FromArray(bytes);
  EXPECT_EQ(holder.vt, VT_ARRAY | VT_UI1);
  Variant copy(holder);
  ASSERT_NE(copy.parray, holder.parray);
  LONG lower = -1, upper = -1;
  SafeArrayGetLBound(copy.parray, 1, &lower);
  SafeArrayGetUBound(copy.parray, 1, &upper);
  EXPECT_EQ(lower, 0);
  EXPECT_EQ(upper, 3);
  uint8_t third = 0;
  LONG index = 2;
  ASSERT_EQ(SafeArrayGetElement(copy.parray, &index, &third), S_OK);
  EXPECT_EQ(third, 3);

  SAFEARRAY* variants = SafeArrayCreateVector(VT_VARIANT, -5, 2);
  LONG at = -5;
  Variant first(u"first");
  ASSERT_EQ(SafeArrayPutElement(variants, &at, &first), S_OK);
  at = -3;
  EXPECT_EQ(SafeArrayPutElement(variants, &at, &first), DISP_E_BADINDEX);
  at = -6;
  EXPECT_EQ(SafeArrayGetElement(variants, &at, &first), DISP_E_BADINDEX);
  Variant array = Variant::FromArray(variants);
  Variant arrayCopy(array);
  Variant element;
  at = -5;
  ASSERT_EQ(SafeArrayGetElement(arrayCopy.parray, &at, &element), S_OK);
  EXPECT_EQ(BstrView(element.bstrVal), u"first");
  SafeArrayGetLBound(arrayCopy.parray, 1, &lower);
  EXPECT_EQ(lower, -5);
}

}  // namespace
}  // namespace orvex
