// The IUnknown half of an object that answers one interface: QueryInterface for IID_IUnknown
// and the interface, an atomic count that starts at one, and deletion at the last Release.
#pragma once

#include <atomic>
#include <type_traits>

#include "platform/ole/unknown.h"

namespace orvex {

// Derive as `class Foo final : public ComObject<Foo, IFoo>`. Derived must be final: the
// last Release deletes through Derived, since the interfaces' destructors are not virtual.
// A private destructor in Derived needs `friend ComObject;`.
template <class Derived, class Interface>
class ComObject : public Interface {
 public:
  HRESULT ORVEX_COM_CALL QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (iid == IID_IUnknown || iid == Interface::kIid) {
      *object = static_cast<Interface*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG ORVEX_COM_CALL AddRef() override { return ++refs_; }
  ULONG ORVEX_COM_CALL Release() override {
    static_assert(std::is_final_v<Derived>, "ComObject deletes through Derived");
    ULONG left = --refs_;
    if (left == 0) delete static_cast<Derived*>(this);
    return left;
  }

 protected:
  ComObject() = default;
  ~ComObject() = default;
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

 private:
  std::atomic<ULONG> refs_{1};
};

}  // namespace orvex
