// The automation interfaces (IUnknown, IDispatch, ITypeInfo, IEnumVARIANT, IClassFactory)
// as abstract classes whose virtual tables keep the platform's slot order, and ComPtr<T>,
// the counted reference every piece of the library holds objects with.
#pragma once

#include <cassert>
#include <utility>

#include "platform/ole/types.h"

namespace orvex {

inline constexpr IID IID_IUnknown = MakeGuid("{00000000-0000-0000-C000-000000000046}");
inline constexpr IID IID_IDispatch = MakeGuid("{00020400-0000-0000-C000-000000000046}");
inline constexpr IID IID_ITypeInfo = MakeGuid("{00020401-0000-0000-C000-000000000046}");
inline constexpr IID IID_IEnumVARIANT = MakeGuid("{00020404-0000-0000-C000-000000000046}");
inline constexpr IID IID_IClassFactory = MakeGuid("{00000001-0000-0000-C000-000000000046}");
inline constexpr IID IID_NULL = MakeGuid("{00000000-0000-0000-0000-000000000000}");

// Interfaces are released, never deleted through: their destructors are protected. Each
// names its own IID as kIid, for code that answers QueryInterface by interface type
// (ComObject in com_object.h).
struct IUnknown {
  static constexpr const IID& kIid = IID_IUnknown;
  virtual HRESULT ORVEX_COM_CALL QueryInterface(REFIID iid, void** object) = 0;
  virtual ULONG ORVEX_COM_CALL AddRef() = 0;
  virtual ULONG ORVEX_COM_CALL Release() = 0;

 protected:
  ~IUnknown() = default;
};

struct ITypeInfo;

struct IDispatch : IUnknown {
  static constexpr const IID& kIid = IID_IDispatch;
  virtual HRESULT ORVEX_COM_CALL GetTypeInfoCount(UINT* count) = 0;
  virtual HRESULT ORVEX_COM_CALL GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) = 0;
  virtual HRESULT ORVEX_COM_CALL GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                               DISPID* ids) = 0;
  virtual HRESULT ORVEX_COM_CALL Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags,
                                        DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                        UINT* argError) = 0;

 protected:
  ~IDispatch() = default;
};

struct IEnumVARIANT : IUnknown {
  static constexpr const IID& kIid = IID_IEnumVARIANT;
  virtual HRESULT ORVEX_COM_CALL Next(ULONG count, VARIANT* items, ULONG* fetched) = 0;
  virtual HRESULT ORVEX_COM_CALL Skip(ULONG count) = 0;
  virtual HRESULT ORVEX_COM_CALL Reset() = 0;
  virtual HRESULT ORVEX_COM_CALL Clone(IEnumVARIANT** copy) = 0;

 protected:
  ~IEnumVARIANT() = default;
};

struct IClassFactory : IUnknown {
  static constexpr const IID& kIid = IID_IClassFactory;
  virtual HRESULT ORVEX_COM_CALL CreateInstance(IUnknown* outer, REFIID iid, void** object) = 0;
  virtual HRESULT ORVEX_COM_CALL LockServer(BOOL lock) = 0;

 protected:
  ~IClassFactory() = default;
};

// Type information, reduced to what clients of this library read: the interface's
// attributes, one description per member (function) and the names of a member and its
// parameters. Descriptions are owned by the type information and stay valid while it lives.
enum TYPEKIND : int32_t {
  TKIND_ENUM = 0,
  TKIND_INTERFACE = 3,
  TKIND_DISPATCH = 4,
  TKIND_COCLASS = 5
};
enum INVOKEKIND : int32_t {
  INVOKE_FUNC = 1,
  INVOKE_PROPERTYGET = 2,
  INVOKE_PROPERTYPUT = 4,
  INVOKE_PROPERTYPUTREF = 8
};
inline constexpr USHORT PARAMFLAG_FIN = 0x1;
inline constexpr USHORT PARAMFLAG_FOUT = 0x2;
inline constexpr USHORT PARAMFLAG_FOPT = 0x10;
inline constexpr USHORT PARAMFLAG_FHASDEFAULT = 0x20;

struct TYPEATTR {
  GUID guid;
  LCID lcid;
  TYPEKIND typekind;
  WORD cFuncs;
  WORD cVars;
  WORD wMajorVerNum;
  WORD wMinorVerNum;
  WORD wTypeFlags;
};

struct ELEMDESC {
  VARTYPE vt;            // VT_BYREF marks a by-reference parameter
  USHORT wParamFlags;    // PARAMFLAG_*
  const char* typeName;  // the declared type as the tables name it ("String", "ResTypes", ...)
  VARIANT defaultValue;  // with PARAMFLAG_FHASDEFAULT
};

struct FUNCDESC {
  MEMBERID memid;
  INVOKEKIND invkind;
  SHORT cParams;
  SHORT cParamsOpt;
  SHORT oVft;             // byte offset of the member's slot in the interface's virtual table
  ELEMDESC elemdescFunc;  // the result
  const ELEMDESC* lprgelemdescParam;
};

struct ITypeInfo : IUnknown {
  static constexpr const IID& kIid = IID_ITypeInfo;
  virtual HRESULT ORVEX_COM_CALL GetTypeAttr(const TYPEATTR** attr) = 0;
  virtual HRESULT ORVEX_COM_CALL GetFuncDesc(UINT index, const FUNCDESC** desc) = 0;
  // The member's name followed by its parameters' names.
  virtual HRESULT ORVEX_COM_CALL GetNames(MEMBERID id, BSTR* names, UINT maxNames, UINT* count) = 0;
  virtual HRESULT ORVEX_COM_CALL GetIDsOfNames(LPOLESTR* names, UINT count, MEMBERID* ids) = 0;
  // The interface's name for MEMBERID -1, otherwise the member's name.
  virtual HRESULT ORVEX_COM_CALL GetDocumentation(MEMBERID id, BSTR* name, BSTR* doc,
                                                  DWORD* helpContext, BSTR* helpFile) = 0;

 protected:
  ~ITypeInfo() = default;
};

// A counted reference (after C++/WinRT's com_ptr): copies AddRef, destruction Releases.
// Release happens after the pointer is cleared, so a tear-down that reads the holder sees
// it empty.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}
  // Takes a new reference.
  explicit ComPtr(T* p) : p_(p) {
    if (p_) p_->AddRef();
  }
  ComPtr(const ComPtr& other) : ComPtr(other.p_) {}
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  template <class U>
  ComPtr(const ComPtr<U>& other) : ComPtr(static_cast<T*>(other.Get())) {}
  template <class U>
  ComPtr(ComPtr<U>&& other) noexcept : p_(other.Detach()) {}
  ~ComPtr() { Reset(); }

  ComPtr& operator=(const ComPtr& other) {
    if (this != &other) ComPtr(other).Swap(*this);
    return *this;
  }
  ComPtr& operator=(ComPtr&& other) noexcept {
    ComPtr(std::move(other)).Swap(*this);
    return *this;
  }
  ComPtr& operator=(std::nullptr_t) {
    Reset();
    return *this;
  }

  // Takes over a reference the caller already owns.
  static ComPtr Attach(T* p) {
    ComPtr out;
    out.p_ = p;
    return out;
  }
  T* Detach() { return std::exchange(p_, nullptr); }
  void Reset() {
    if (T* old = std::exchange(p_, nullptr)) old->Release();
  }
  void Swap(ComPtr& other) noexcept { std::swap(p_, other.p_); }

  T* Get() const { return p_; }
  T* operator->() const {
    assert(p_);
    return p_;
  }
  T& operator*() const { return *p_; }
  explicit operator bool() const { return p_ != nullptr; }

  // Out-parameter for functions that return a new reference; the holder must be empty.
  T** Put() {
    assert(p_ == nullptr);
    return &p_;
  }
  void** PutVoid() { return reinterpret_cast<void**>(Put()); }
  // The held slot itself, for a by-reference argument: the callee may release the
  // reference it finds there and store another, which this holder then owns.
  T** AddressOf() { return &p_; }

  // QueryInterface for another interface; empty when not supported.
  template <class U>
  ComPtr<U> TryAs(REFIID iid) const {
    ComPtr<U> out;
    if (p_) p_->QueryInterface(iid, out.PutVoid());
    return out;
  }

  friend bool operator==(const ComPtr& a, const ComPtr& b) { return a.p_ == b.p_; }
  friend bool operator==(const ComPtr& a, std::nullptr_t) { return a.p_ == nullptr; }

 private:
  T* p_ = nullptr;
};

}  // namespace orvex
