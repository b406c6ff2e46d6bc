// Ownership through the wrappers: a value handed between an owner and a raw slot keeps its
// reference count, and the last owner frees it once.
#include "platform/ole/wrappers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

#include "platform/ole/oleauto.h"

namespace orvex {
namespace {

// A stack object that counts its references; the test holds the first one.
struct Counted : IUnknown {
  ULONG refs = 1;
  HRESULT ORVEX_COM_CALL QueryInterface(REFIID, void** object) override {
    *object = this;
    ++refs;
    return S_OK;
  }
  ULONG ORVEX_COM_CALL AddRef() override { return ++refs; }
  ULONG ORVEX_COM_CALL Release() override { return --refs; }
  virtual ~Counted() = default;
};

TEST(VariantOwnership, AttachAndDetachMoveTheValueWithoutCounting) {
  Counted object;
  VARIANT raw{};
  raw.vt = VT_UNKNOWN;
  raw.punkVal = &object;
  object.AddRef();  // the reference `raw` holds
  {
    Variant owner = Variant::Attach(raw);
    EXPECT_EQ(raw.vt, VT_EMPTY);
    EXPECT_EQ(owner.punkVal, &object);
    VARIANT out = owner.Detach();
    EXPECT_EQ(owner.vt, VT_EMPTY);
    EXPECT_EQ(out.vt, VT_UNKNOWN);
    EXPECT_EQ(object.refs, 2u);
    Variant back = Variant::Attach(out);
  }
  EXPECT_EQ(object.refs, 1u);
}

TEST(SafeArrayOwnership, TheLastHolderDestroysTheArrayAndItsElements) {
  Counted object;
  Variant element;
  element.vt = VT_UNKNOWN;
  element.punkVal = &object;
  object.AddRef();
  auto arrayHolding = [&] {
    SafeArray array(SafeArrayCreateVector(VT_VARIANT, 0, 1));
    EXPECT_TRUE(array);
    LONG at = 0;
    EXPECT_EQ(SafeArrayPutElement(array.Get(), &at, &element), S_OK);
    return array;
  };
  {
    SafeArray array = arrayHolding();
    EXPECT_EQ(object.refs, 3u);
  }
  EXPECT_EQ(object.refs, 2u);
  {
    SafeArray array = arrayHolding();
    SafeArray moved = std::move(array);
    EXPECT_EQ(array, nullptr);
    Variant holder = Variant::FromArray(std::move(moved));
    EXPECT_EQ(moved, nullptr);
    EXPECT_EQ(holder.vt, VT_ARRAY | VT_VARIANT);
    EXPECT_EQ(object.refs, 3u);
  }
  EXPECT_EQ(object.refs, 2u);
  EXPECT_TRUE(Variant::FromArray(SafeArray()).IsEmpty());
}

TEST(ByReferenceSlots, TheOwnerKeepsWhatTheCalleeStores) {
  // A callee given a by-reference BSTR frees the text it finds and stores its own.
  Bstr text(u"old");
  Variant ref = Variant::RefTo(*text.AddressOf());
  SysFreeString(*ref.pbstrVal);
  *ref.pbstrVal = SysAllocString(u"new");
  EXPECT_EQ(text.View(), u"new");

  // A callee given a by-reference object releases the one it finds and stores another.
  Counted first, second;
  {
    ComPtr<IUnknown> holder(&first);
    IUnknown** slot = holder.AddressOf();
    ASSERT_EQ(*slot, &first);
    (*slot)->Release();
    *slot = &second;
    second.AddRef();
    EXPECT_EQ(holder.Get(), &second);
  }
  EXPECT_EQ(first.refs, 1u);
  EXPECT_EQ(second.refs, 1u);
}

// Every way a variant may carry a byte array reads the same bytes; anything else is no byte
// array, and an array that was never allocated has no bytes at all.
TEST(ByteArrayView, ReadsTheBytesWhereverTheVariantHoldsThem) {
  SafeArray vector(SafeArrayCreateVector(VT_UI1, 0, 3));
  std::memcpy(vector.Get()->pvData, "abc", 3);
  const SAFEARRAYBOUND grid[2] = {{2, 0}, {3, 0}};
  SafeArray matrix(SafeArrayCreate(VT_UI1, 2, grid));
  std::memcpy(matrix.Get()->pvData, "uvwxyz", 6);
  SafeArray none(SafeArrayCreateVector(VT_UI1, 0, 0));
  SafeArray words(SafeArrayCreateVector(VT_I2, 0, 2));
  SAFEARRAY* unallocated = nullptr;

  auto holding = [](SAFEARRAY* array, VARTYPE type) {
    VARIANT v{};
    v.vt = static_cast<VARTYPE>(VT_ARRAY | type);
    v.parray = array;
    return v;
  };
  const VARIANT plain = holding(vector.Get(), VT_UI1);
  VARIANT byRefArray{};
  SAFEARRAY* slot = vector.Get();
  byRefArray.vt = VT_BYREF | VT_ARRAY | VT_UI1;
  byRefArray.pparray = &slot;
  VARIANT inner = plain;
  VARIANT byRefVariant{};
  byRefVariant.vt = VT_BYREF | VT_VARIANT;
  byRefVariant.pvarVal = &inner;
  VARIANT danglingRef{};
  danglingRef.vt = VT_BYREF | VT_VARIANT;
  const Variant text(u"abc");

  struct Case {
    const char* what;
    VARIANT value;
    bool byteArray, allocated;
    std::string bytes;
  } cases[] = {
      {"vector", plain, true, true, "abc"},
      {"array by reference", byRefArray, true, true, "abc"},
      {"inside a by-reference variant", byRefVariant, true, true, "abc"},
      {"two dimensions", holding(matrix.Get(), VT_UI1), true, true, "uvwxyz"},
      {"no elements", holding(none.Get(), VT_UI1), true, true, ""},
      {"never allocated", holding(unallocated, VT_UI1), true, false, ""},
      {"words", holding(words.Get(), VT_I2), false, false, ""},
      {"text", text, false, false, ""},
      {"by-reference variant to nothing", danglingRef, false, false, ""},
  };
  for (const Case& c : cases) {
    const ByteArrayView view(c.value);
    EXPECT_EQ(view.IsByteArray(), c.byteArray) << c.what;
    EXPECT_EQ(view.Allocated(), c.allocated) << c.what;
    const std::vector<uint8_t> copy = view.Copy();
    EXPECT_EQ(std::string(copy.begin(), copy.end()), c.bytes) << c.what;
    EXPECT_EQ(view.Data().size(), c.bytes.size()) << c.what;
  }
}

}  // namespace
}  // namespace orvex
