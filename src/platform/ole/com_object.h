// The IUnknown half of every object the library makes: QueryInterface for IID_IUnknown and
// each interface the object answers, an atomic count that starts at one, and deletion at
// the last Release.
#pragma once

#include <atomic>
#include <type_traits>

#include "platform/ole/unknown.h"

namespace orvex {

// Derive as `class Foo final : public ComObject<Foo, IFoo, IBar>`. The first interface is
// the object's identity (what IID_IUnknown answers). The last Release deletes through
// Derived, so Derived is final or has a virtual destructor (the interfaces' are not
// virtual); a private destructor in Derived needs `friend ComObject;`.
//
// Interface identifiers beyond the interfaces' own kIid (an alias such as IPictureDisp for
// IDispatch, or a class's default interface) are answered by a member of Derived,
// `void* QueryAlias(REFIID iid)`, returning the interface pointer without a reference, or
// null.
template <class Derived, class First, class... Rest>
class ComObject : public First, public Rest... {
 public:
  HRESULT ORVEX_COM_CALL QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    void* found = iid == IID_IUnknown ? static_cast<First*>(this) : Find<First, Rest...>(iid);
    if (found == nullptr) found = static_cast<Derived*>(this)->QueryAlias(iid);
    *object = found;
    if (found == nullptr) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG ORVEX_COM_CALL AddRef() override { return ++refs_; }
  ULONG ORVEX_COM_CALL Release() override {
    static_assert(std::is_final_v<Derived> || std::has_virtual_destructor_v<Derived>,
                  "ComObject deletes through Derived");
    const ULONG left = --refs_;
    if (left == 0) delete static_cast<Derived*>(this);
    return left;
  }

  // The object as IUnknown (through its first interface), without a reference.
  IUnknown* Unknown() { return static_cast<First*>(this); }

 protected:
  ComObject() = default;
  ~ComObject() = default;
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  // Derived hides this with its own to answer further identifiers.
  void* QueryAlias(REFIID /*iid*/) { return nullptr; }

 private:
  template <class Interface, class... More>
  void* Find(REFIID iid) {
    if (iid == Interface::kIid) return static_cast<Interface*>(this);
    if constexpr (sizeof...(More) > 0) {
      return Find<More...>(iid);
    } else {
      return nullptr;
    }
  }

  std::atomic<ULONG> refs_{1};
};

}  // namespace orvex
