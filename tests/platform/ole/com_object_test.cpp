// ComObject: QueryInterface answers IUnknown, the object's interfaces and its aliases, the
// count starts at one and the last Release deletes the object.
#include "platform/ole/com_object.h"

#include <gtest/gtest.h>

namespace orvex {
namespace {

class Factory final : public ComObject<Factory, IClassFactory> {
 public:
  explicit Factory(bool* deleted) : deleted_(deleted) {}
  HRESULT ORVEX_COM_CALL CreateInstance(IUnknown*, REFIID, void**) override { return E_NOTIMPL; }
  HRESULT ORVEX_COM_CALL LockServer(BOOL) override { return E_NOTIMPL; }

 private:
  friend ComObject;
  ~Factory() { *deleted_ = true; }

  bool* deleted_;
};

TEST(ComObject, AnswersIUnknownAndItsInterfaceWithANewReference) {
  bool deleted = false;
  auto factory = ComPtr<IClassFactory>::Attach(new Factory(&deleted));
  struct Case {
    const IID* iid;
    HRESULT hr;
  };
  const Case cases[] = {{&IID_IUnknown, S_OK},
                        {&IID_IClassFactory, S_OK},
                        {&IID_IDispatch, E_NOINTERFACE},
                        {&IID_IEnumVARIANT, E_NOINTERFACE},
                        {&IID_NULL, E_NOINTERFACE}};
  for (const Case& c : cases) {
    void* out = &deleted;  // not null, so a failure must clear it
    ASSERT_EQ(factory->QueryInterface(*c.iid, &out), c.hr) << GuidToString(*c.iid);
    if (c.hr == S_OK) {
      ASSERT_EQ(out, static_cast<void*>(factory.Get()));
      ASSERT_EQ(static_cast<IUnknown*>(out)->Release(), 1u);
    } else {
      EXPECT_EQ(out, nullptr);
    }
  }
  EXPECT_EQ(factory->QueryInterface(IID_IClassFactory, nullptr), E_POINTER);
  EXPECT_FALSE(deleted);
}

// Two interfaces, one count, one identity; IID_NULL stands for an alias of the second.
class TwoFaced final : public ComObject<TwoFaced, IClassFactory, IEnumVARIANT> {
 public:
  HRESULT ORVEX_COM_CALL CreateInstance(IUnknown*, REFIID, void**) override { return E_NOTIMPL; }
  HRESULT ORVEX_COM_CALL LockServer(BOOL) override { return E_NOTIMPL; }
  HRESULT ORVEX_COM_CALL Next(ULONG, VARIANT*, ULONG*) override { return E_NOTIMPL; }
  HRESULT ORVEX_COM_CALL Skip(ULONG) override { return E_NOTIMPL; }
  HRESULT ORVEX_COM_CALL Reset() override { return E_NOTIMPL; }
  HRESULT ORVEX_COM_CALL Clone(IEnumVARIANT**) override { return E_NOTIMPL; }
  void* QueryAlias(REFIID iid) {
    return iid == IID_NULL ? static_cast<IEnumVARIANT*>(this) : nullptr;
  }
};

TEST(ComObject, AnswersEachInterfaceWithOneIdentityAndOneCount) {
  auto object = ComPtr<IClassFactory>::Attach(new TwoFaced);
  ComPtr<IEnumVARIANT> second = object.TryAs<IEnumVARIANT>(IID_IEnumVARIANT);
  ComPtr<IEnumVARIANT> alias = object.TryAs<IEnumVARIANT>(IID_NULL);
  ASSERT_TRUE(second && alias);
  EXPECT_EQ(second.Get(), alias.Get());
  EXPECT_NE(static_cast<void*>(second.Get()), static_cast<void*>(object.Get()));
  ComPtr<IUnknown> fromFirst = object.TryAs<IUnknown>(IID_IUnknown);
  ComPtr<IUnknown> fromSecond = second.TryAs<IUnknown>(IID_IUnknown);
  EXPECT_EQ(fromFirst.Get(), fromSecond.Get());
  EXPECT_EQ(object->AddRef(), 6u);  // this holder, second, alias, both IUnknowns, this call
  EXPECT_EQ(second->Release(), 5u);
  EXPECT_FALSE(second.TryAs<IDispatch>(IID_IDispatch));
}

TEST(ComObject, StartsAtOneAndDeletesAtTheLastRelease) {
  bool deleted = false;
  IClassFactory* factory = new Factory(&deleted);
  EXPECT_EQ(factory->AddRef(), 2u);
  EXPECT_EQ(factory->Release(), 1u);
  EXPECT_FALSE(deleted);
  EXPECT_EQ(factory->Release(), 0u);
  EXPECT_TRUE(deleted);
}

}  // namespace
}  // namespace orvex
