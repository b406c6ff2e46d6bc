// Table-driven automation objects. Each class is described once, as data: a table of
// members (name, kind, DISPID, parameters, result) whose rows bind to C++ methods. From
// that one table come GetIDsOfNames, Invoke, the type information and (in the server)
// registration.
//
// Writing a class:
//
//   class clsExample : public Dispatchable {
//    public:
//     using Dispatchable::Dispatchable;                  // constructed with its ClassInfo
//     std::u16string Caption();                           // Get
//     void LetCaption(std::u16string_view value);         // Let: the value comes last
//     int32_t Add(int32_t a, std::optional<int32_t> b);   // Method with an optional argument
//   };
//
//   const MemberDesc kExampleMembers[] = {
//     {"Caption", MemberKind::Get, 0x68030000, {}, types::String, Bind<&clsExample::Caption>()},
//     {"Caption", MemberKind::Let, 0x68030000, {Param("value", types::String)}, types::None,
//      Bind<&clsExample::LetCaption>()},
//     {"Add", MemberKind::Method, 0x60030001,
//      {Param("a", types::Long), Param("b", types::Long, kOptional)}, types::Long,
//      Bind<&clsExample::Add>()},
//     {"Later", MemberKind::Method, 0x60030002, {}, types::None, NotImplemented()},
//   };
//
// Method naming: a Get is the member's name, a Let is "Let" + name, a Set is "Set" + name,
// a Method is its name. Implementing a member later means writing the method and
// replacing NotImplemented() by Bind<&Class::Method>() in its row.
//
// How arguments reach the method. Invoke takes DISPPARAMS (arguments in reverse order,
// the value of a property assignment as the named argument DISPID_PROPERTYPUT, further
// named arguments by parameter position), dereferences by-reference arguments, coerces
// each to its declared type with VariantChangeType and converts it to the C++ parameter:
//
//   declared type            C++ parameter types accepted
//   String (VT_BSTR)         std::u16string_view (no copy), std::u16string
//   Long / enums (VT_I4)     int32_t          Integer (VT_I2)   int16_t
//   Boolean (VT_BOOL)        bool             Double (VT_R8)    double
//   Variant (VT_VARIANT)     const VARIANT& (by-reference arguments already dereferenced),
//                            Variant (a copy)
//   Object / a class         ComPtr<IDispatch>, or ComPtr<T> for a class T of this library
//                            (another object is Err::TypeMismatch); Nothing is null
//   array (VT_ARRAY|...)     const VARIANT& holding the array
//
// A missing optional argument (absent, or VT_ERROR DISP_E_PARAMNOTFOUND) becomes the row's
// default when it has one; otherwise std::optional<T> receives nullopt, a Variant/VARIANT
// parameter receives VT_ERROR DISP_E_PARAMNOTFOUND and a plain T receives T's zero value
// ("" for strings), as for a typed optional parameter without a default.
//
// Results: void, int32_t, int16_t, bool, double, std::u16string, Bstr, Variant,
// ComPtr<IDispatch>, ComPtr<IUnknown>, ComPtr<T>.
//
// Failures: a method throws RuntimeError; Invoke returns DISP_E_EXCEPTION with EXCEPINFO
// (scode 0x800A0000 | number, description, source). Rows bound with NotImplemented() raise
// Err::ActionNotSupported naming the member.
#pragma once

#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "base/runtime_error.h"
#include "platform/ole/com_object.h"
#include "platform/ole/oleauto.h"
#include "platform/ole/unknown.h"
#include "platform/ole/wrappers.h"

namespace orvex {

enum class MemberKind : uint8_t { Method = 1, Get = 2, Let = 4, Set = 8 };

// A declared type: the automation type and the name the tables and type information use.
struct TypeRef {
  VARTYPE vt;
  const char* name;
};

namespace types {
inline constexpr TypeRef None{VT_EMPTY, ""};
inline constexpr TypeRef Long{VT_I4, "Long"};
inline constexpr TypeRef Integer{VT_I2, "Integer"};
inline constexpr TypeRef Double{VT_R8, "Double"};
inline constexpr TypeRef String{VT_BSTR, "String"};
inline constexpr TypeRef Boolean{VT_BOOL, "Boolean"};
inline constexpr TypeRef Variant{VT_VARIANT, "Variant"};
inline constexpr TypeRef Object{VT_DISPATCH, "Object"};
inline constexpr TypeRef Unknown{VT_UNKNOWN, "IUnknown"};
inline constexpr TypeRef VariantArray{VT_ARRAY | VT_VARIANT, "Variant()"};
// A class or interface of this or another library, passed as an object.
constexpr TypeRef Class(const char* name) {
  return {VT_DISPATCH, name};
}
// An enumeration, carried as a 32-bit integer.
constexpr TypeRef Enum(const char* name) {
  return {VT_I4, name};
}
}  // namespace types

inline constexpr unsigned kByRef = 1;
inline constexpr unsigned kOptional = 2;

struct ParamDesc {
  const char* name = "";
  TypeRef type = types::None;
  bool byRef = false;
  bool optional = false;
  bool hasDefault = false;
  int32_t defaultValue = 0;  // a Long or a Boolean (0 / -1) default
};

constexpr ParamDesc Param(const char* name, TypeRef type, unsigned flags = 0) {
  return ParamDesc{name, type, (flags & kByRef) != 0, (flags & kOptional) != 0, false, 0};
}
// An optional parameter with a default (Boolean defaults: 0 False, -1 True).
constexpr ParamDesc ParamDefault(const char* name, TypeRef type, unsigned flags, int32_t value) {
  return ParamDesc{name, type, (flags & kByRef) != 0, true, true, value};
}

class Dispatchable;
class ClassInfo;

// Converted arguments in declaration order, the result slot (VT_EMPTY on entry).
using MemberThunk = void (*)(Dispatchable& self, VARIANT* args, VARIANT* result);

struct MemberBinding {
  MemberThunk thunk = nullptr;  // null: not implemented
  int arity = -1;               // the C++ method's parameter count
  // The automation type each C++ parameter reads (VT_VARIANT: any); ClassInfo checks the
  // table's declared types against it once, when the class is described.
  const VARTYPE* paramTypes = nullptr;
};

constexpr MemberBinding NotImplemented() {
  return MemberBinding{};
}

inline constexpr size_t kMaxParams = 8;

struct MemberDesc {
  constexpr MemberDesc(const char* memberName, MemberKind memberKind, DISPID id,
                       std::initializer_list<ParamDesc> parameters, TypeRef resultType,
                       MemberBinding memberBinding)
      : name(memberName), kind(memberKind), dispid(id), result(resultType), binding(memberBinding) {
    if (parameters.size() > kMaxParams) throw "too many parameters";
    for (const ParamDesc& p : parameters) params[paramCount++] = p;
  }

  const char* name;
  MemberKind kind;
  DISPID dispid;
  ParamDesc params[kMaxParams]{};
  uint8_t paramCount = 0;
  TypeRef result;
  MemberBinding binding;

  std::span<const ParamDesc> Params() const { return {params, paramCount}; }
  bool IsPut() const { return kind == MemberKind::Let || kind == MemberKind::Set; }
};

using CreateFunction = Dispatchable* (*)(const ClassInfo& info);

// Everything known about one class: identifiers, its member table, how to create it.
// Built once (function-local static) and never destroyed before the objects it describes.
class ClassInfo {
 public:
  struct Ids {
    const char* name;    // "clsQ7ResfResourceTypesA"
    const char* progId;  // "Orvex10.clsQ7ResfResourceTypesA" (empty: not creatable)
    CLSID clsid;
    const char* interfaceName;  // "_clsQ7ResfResourceTypesA"
    IID iid;
  };

  ClassInfo(Ids ids, std::span<const MemberDesc> members, CreateFunction create);
  ~ClassInfo();
  ClassInfo(const ClassInfo&) = delete;
  ClassInfo& operator=(const ClassInfo&) = delete;

  const char* Name() const { return ids_.name; }
  const char* ProgId() const { return ids_.progId; }
  const CLSID& Clsid() const { return ids_.clsid; }
  const char* InterfaceName() const { return ids_.interfaceName; }
  const IID& Iid() const { return ids_.iid; }
  std::span<const MemberDesc> Members() const { return members_; }

  // The member with this DISPID whose kind matches the invoke flags (a Method or Get for
  // METHOD|PROPERTYGET, a Let before a Set for PROPERTYPUT, a Set before a Let for
  // PROPERTYPUTREF); null when none. Binary search over a precomputed index.
  const MemberDesc* Find(DISPID id, WORD flags) const;
  // Case-insensitive name lookup (binary search); DISPID_UNKNOWN when unknown.
  DISPID FindName(std::u16string_view name) const;
  DISPID FindName(std::string_view name) const;

  // Type information of the default interface (owned by this ClassInfo; counting is a
  // no-op), or null when there is none (a class whose library carries no type library).
  ITypeInfo* TypeInfo() const;

  // A new object with one reference; throws Err::OutOfMemory when out of memory.
  Dispatchable* Create() const { return create_(*this); }

 private:
  class TypeInfoImpl;
  // Makes typeInfo_ (each backend's own: built from the table, or read from the type
  // library of the module holding the table).
  void BuildTypeInfo();

  Ids ids_;
  std::span<const MemberDesc> members_;
  CreateFunction create_;
  std::vector<std::pair<std::string, DISPID>> names_;  // upper-case, sorted
  std::vector<std::pair<DISPID, uint16_t>> byId_;      // sorted by DISPID, then table order
  // Made and deleted by the backend's BuildTypeInfo, where TypeInfoImpl is complete.
  std::unique_ptr<TypeInfoImpl, void (*)(TypeInfoImpl*)> typeInfo_{nullptr, nullptr};
  friend class TypeInfoImpl;
};

// The private interface that identifies this runtime's own objects.
inline constexpr IID IID_IOrvexDispatchable = MakeGuid("{6F7B1C20-3A44-4D2E-9C4B-0E5A7D1F2B31}");

// Base of every automation object: counting and QueryInterface (IUnknown, IDispatch, the
// class's default interface) from ComObject, and the table-driven IDispatch. Objects start
// with one reference and delete themselves at the last Release; derived destructors are
// the classes' tear-down.
class Dispatchable : public ComObject<Dispatchable, IDispatch> {
 public:
  explicit Dispatchable(const ClassInfo& info);
  virtual ~Dispatchable();

  HRESULT ORVEX_COM_CALL GetTypeInfoCount(UINT* count) override;
  HRESULT ORVEX_COM_CALL GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  HRESULT ORVEX_COM_CALL GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                       DISPID* ids) override;
  HRESULT ORVEX_COM_CALL Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                VARIANT* result, EXCEPINFO* exception, UINT* argError) override;

  const ClassInfo& Info() const { return info_; }

  // The class's default interface answers as IDispatch; IID_IOrvexDispatchable gives the
  // object itself (ObjectCast).
  void* QueryAlias(REFIID iid);

 private:
  const ClassInfo& info_;
};

// Creation helper for class tables: CreateFunction for a class constructed from its info.
template <class T>
Dispatchable* CreateOf(const ClassInfo& info) {
  return new T(info);
}
// An object that answers its table and nothing else (for classes whose members are all
// unimplemented or absent).
Dispatchable* CreateTableOnly(const ClassInfo& info);

// Objects of this runtime alive in this process (the server's unload answer) and the
// server lock count.
long LiveObjectCount();
void LockServerCount(bool lock);
long ServerLockCount();

// Our object behind an interface pointer if it is a T of this runtime, else null.
template <class T>
T* ObjectCast(IUnknown* unknown) {
  if (unknown == nullptr) return nullptr;
  void* p = nullptr;
  if (FAILED(unknown->QueryInterface(IID_IOrvexDispatchable, &p)) || p == nullptr) return nullptr;
  auto* base = static_cast<Dispatchable*>(p);
  T* out = dynamic_cast<T*>(base);
  base->Release();
  return out;
}

// Fills EXCEPINFO from a run-time error and returns DISP_E_EXCEPTION (the scode itself
// when there is no EXCEPINFO to carry it). Remembered as the thread's last error.
HRESULT ExceptionToExcepInfo(const RuntimeError& error, const char* defaultSource, EXCEPINFO* info);
// The last error that crossed Invoke on this thread (number 0 when none).
struct LastError {
  int32_t number = 0;
  std::string description;
  std::string source;
};
const LastError& LastInvokeError();

// ---------------------------------------------------------------------------------------
// Binding machinery (used through Bind<&Class::Method>()).

namespace dispatch_detail {

template <class T>
struct IsOptional : std::false_type {};
template <class T>
struct IsOptional<std::optional<T>> : std::true_type {};
template <class T>
struct IsComPtr : std::false_type {};
template <class T>
struct IsComPtr<ComPtr<T>> : std::true_type {
  using Type = T;
};

bool IsMissingArg(const VARIANT& v);
ComPtr<IDispatch> DispatchArg(const VARIANT& v);
void ThrowTypeMismatch();

template <class T>
T ArgFrom(VARIANT& v) {
  using U = std::remove_cvref_t<T>;
  if constexpr (IsOptional<U>::value) {
    if (IsMissingArg(v)) return std::nullopt;
    return ArgFrom<typename U::value_type>(v);
  } else if constexpr (std::is_same_v<U, VARIANT>) {
    return v;  // a reference to the converted argument
  } else if constexpr (std::is_same_v<U, Variant>) {
    return Variant(v);
  } else {
    if (IsMissingArg(v)) return U{};
    if constexpr (std::is_same_v<U, std::u16string_view>) {
      return BstrView(v.bstrVal);
    } else if constexpr (std::is_same_v<U, std::u16string>) {
      return std::u16string(BstrView(v.bstrVal));
    } else if constexpr (std::is_same_v<U, int32_t>) {
      return v.lVal;
    } else if constexpr (std::is_same_v<U, int16_t>) {
      return v.iVal;
    } else if constexpr (std::is_same_v<U, bool>) {
      return v.boolVal != 0;
    } else if constexpr (std::is_same_v<U, double>) {
      return v.dblVal;
    } else if constexpr (std::is_same_v<U, ComPtr<IDispatch>>) {
      return DispatchArg(v);
    } else if constexpr (IsComPtr<U>::value) {
      using C = typename IsComPtr<U>::Type;
      ComPtr<IDispatch> object = DispatchArg(v);
      if (!object) return U{};
      C* typed = ObjectCast<C>(object.Get());
      if (typed == nullptr) ThrowTypeMismatch();
      return U(typed);
    } else {
      static_assert(sizeof(U) == 0, "unsupported parameter type for a member binding");
    }
  }
}

template <class R>
void ResultTo(R&& value, VARIANT* out) {
  using U = std::remove_cvref_t<R>;
  if constexpr (std::is_same_v<U, int32_t>) {
    out->vt = VT_I4;
    out->lVal = value;
  } else if constexpr (std::is_same_v<U, int16_t>) {
    out->vt = VT_I2;
    out->iVal = value;
  } else if constexpr (std::is_same_v<U, bool>) {
    out->vt = VT_BOOL;
    out->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  } else if constexpr (std::is_same_v<U, double>) {
    out->vt = VT_R8;
    out->dblVal = value;
  } else if constexpr (std::is_same_v<U, std::u16string>) {
    out->bstrVal = SysAllocStringView(value);
    if (out->bstrVal == nullptr) throw std::bad_alloc();
    out->vt = VT_BSTR;
  } else if constexpr (std::is_same_v<U, Bstr>) {
    Bstr owned(std::forward<R>(value));
    out->vt = VT_BSTR;
    out->bstrVal = owned.Detach();
  } else if constexpr (std::is_same_v<U, Variant>) {
    *out = Variant(std::forward<R>(value)).Detach();
  } else if constexpr (std::is_same_v<U, ComPtr<IUnknown>>) {
    ComPtr<IUnknown> owned(std::forward<R>(value));
    out->vt = VT_UNKNOWN;
    out->punkVal = owned.Detach();
  } else if constexpr (IsComPtr<U>::value) {
    ComPtr<typename IsComPtr<U>::Type> owned(std::forward<R>(value));
    out->vt = VT_DISPATCH;
    out->pdispVal = static_cast<IDispatch*>(owned.Detach());
  } else {
    static_assert(sizeof(U) == 0, "unsupported result type for a member binding");
  }
}

template <class M>
struct MethodTraits;
template <class C, class R, class... A>
struct MethodTraits<R (C::*)(A...)> {
  using Class = C;
  using Result = R;
  using Args = std::tuple<A...>;
  static constexpr int kArity = sizeof...(A);
};
template <class C, class R, class... A>
struct MethodTraits<R (C::*)(A...) const> : MethodTraits<R (C::*)(A...)> {};

// What ArgFrom makes for a parameter of type T: a VARIANT parameter refers to the converted
// argument itself; any other is a value, which a const reference parameter binds to.
template <class T>
using ArgValue =
    std::conditional_t<std::is_same_v<std::remove_cvref_t<T>, VARIANT>, T, std::remove_cvref_t<T>>;

template <auto Method, size_t... I>
void CallWith(Dispatchable& self, VARIANT* args, VARIANT* result, std::index_sequence<I...>) {
  using Traits = MethodTraits<decltype(Method)>;
  auto& object = static_cast<typename Traits::Class&>(self);
  (void)args;
  if constexpr (std::is_void_v<typename Traits::Result>) {
    (object.*Method)(ArgFrom<ArgValue<std::tuple_element_t<I, typename Traits::Args>>>(args[I])...);
  } else {
    ResultTo((object.*Method)(
                 ArgFrom<ArgValue<std::tuple_element_t<I, typename Traits::Args>>>(args[I])...),
             result);
  }
}

template <class T>
constexpr VARTYPE ExpectedType() {
  using U = std::remove_cvref_t<T>;
  if constexpr (IsOptional<U>::value)
    return ExpectedType<typename U::value_type>();
  else if constexpr (std::is_same_v<U, std::u16string_view> || std::is_same_v<U, std::u16string>)
    return VT_BSTR;
  else if constexpr (std::is_same_v<U, int32_t>)
    return VT_I4;
  else if constexpr (std::is_same_v<U, int16_t>)
    return VT_I2;
  else if constexpr (std::is_same_v<U, bool>)
    return VT_BOOL;
  else if constexpr (std::is_same_v<U, double>)
    return VT_R8;
  else if constexpr (IsComPtr<U>::value)
    return VT_DISPATCH;
  else
    return VT_VARIANT;
}

template <class Tuple>
struct ParamTypes;
template <class... A>
struct ParamTypes<std::tuple<A...>> {
  static constexpr VARTYPE kTypes[sizeof...(A) + 1] = {ExpectedType<A>()..., VT_EMPTY};
};

template <auto Method>
void Thunk(Dispatchable& self, VARIANT* args, VARIANT* result) {
  using Traits = MethodTraits<decltype(Method)>;
  CallWith<Method>(self, args, result, std::make_index_sequence<Traits::kArity>{});
}

}  // namespace dispatch_detail

// Binds a table row to a C++ member function of a Dispatchable class.
template <auto Method>
constexpr MemberBinding Bind() {
  using Traits = dispatch_detail::MethodTraits<decltype(Method)>;
  static_assert(std::is_base_of_v<Dispatchable, typename Traits::Class>,
                "members bind to methods of Dispatchable classes");
  return MemberBinding{&dispatch_detail::Thunk<Method>, Traits::kArity,
                       dispatch_detail::ParamTypes<typename Traits::Args>::kTypes};
}

}  // namespace orvex
