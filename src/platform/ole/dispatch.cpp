#include "platform/ole/dispatch.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "platform/text/text.h"

namespace orvex {

namespace {

std::atomic<long> gLiveObjects{0};
std::atomic<long> gServerLocks{0};
thread_local LastError tLastError;

// Member names of the tables are ASCII; they compare in the names' one case rule.
std::string UpperName(const char* name) {
  std::string out(name);
  for (char& c : out) c = static_cast<char>(UpperCase(static_cast<unsigned char>(c)));
  return out;
}

// Compares an upper-case ASCII table name with a client's UTF-16 name, ignoring case.
int CompareName(const std::string& upper, std::u16string_view name) {
  size_t n = std::min(upper.size(), name.size());
  for (size_t i = 0; i < n; ++i) {
    char16_t a = static_cast<unsigned char>(upper[i]);
    char16_t b = UpperCase(name[i]);
    if (a != b) return a < b ? -1 : 1;
  }
  return upper.size() < name.size() ? -1 : upper.size() > name.size() ? 1 : 0;
}

[[noreturn]] void BadTable(const ClassInfo::Ids& ids, const MemberDesc& m, const char* what) {
  std::fprintf(stderr, "member table of %s: %s: %s\n", ids.name, m.name, what);
  std::abort();
}

}  // namespace

long LiveObjectCount() {
  return gLiveObjects.load();
}
void LockServerCount(bool lock) {
  lock ? ++gServerLocks : --gServerLocks;
}
long ServerLockCount() {
  return gServerLocks.load();
}
const LastError& LastInvokeError() {
  return tLastError;
}

ClassInfo::ClassInfo(Ids ids, std::span<const MemberDesc> members, CreateFunction create)
    : ids_(ids), members_(members), create_(create) {
  for (size_t i = 0; i < members.size(); ++i) {
    const MemberDesc& m = members[i];
    if (m.IsPut() && m.paramCount == 0) BadTable(ids, m, "a property assignment needs its value");
    const MemberBinding& b = m.binding;
    if (b.thunk != nullptr) {
      if (b.arity != m.paramCount) BadTable(ids, m, "C++ parameter count differs from the table");
      for (size_t p = 0; p < m.paramCount; ++p) {
        VARTYPE cpp = b.paramTypes[p];
        VARTYPE declared = m.params[p].type.vt;
        bool fits =
            cpp == VT_VARIANT || cpp == declared || (cpp == VT_DISPATCH && declared == VT_UNKNOWN);
        if (!fits) BadTable(ids, m, "C++ parameter type differs from the table");
      }
    }
    byId_.emplace_back(m.dispid, static_cast<uint16_t>(i));
    std::string upper = UpperName(m.name);
    bool known = std::any_of(names_.begin(), names_.end(),
                             [&](const auto& entry) { return entry.first == upper; });
    if (!known) names_.emplace_back(std::move(upper), m.dispid);
  }
  std::sort(names_.begin(), names_.end());
  std::stable_sort(byId_.begin(), byId_.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  BuildTypeInfo();
}

const MemberDesc* ClassInfo::Find(DISPID id, WORD flags) const {
  auto first = std::lower_bound(byId_.begin(), byId_.end(), id,
                                [](const auto& entry, DISPID key) { return entry.first < key; });
  const MemberDesc* get = nullptr;
  const MemberDesc* method = nullptr;
  const MemberDesc* let = nullptr;
  const MemberDesc* set = nullptr;
  for (auto it = first; it != byId_.end() && it->first == id; ++it) {
    const MemberDesc& m = members_[it->second];
    switch (m.kind) {
      case MemberKind::Get:
        get = &m;
        break;
      case MemberKind::Method:
        method = &m;
        break;
      case MemberKind::Let:
        let = &m;
        break;
      case MemberKind::Set:
        set = &m;
        break;
    }
  }
  if (flags & DISPATCH_PROPERTYPUTREF) return set ? set : let;
  if (flags & DISPATCH_PROPERTYPUT) return let ? let : set;
  if ((flags & DISPATCH_METHOD) && method) return method;
  if (flags & DISPATCH_PROPERTYGET) return get;
  // A property read as a method call (obj.Prop()) is allowed, as the runtime allows it.
  if (flags & DISPATCH_METHOD) return get;
  return nullptr;
}

DISPID ClassInfo::FindName(std::u16string_view name) const {
  auto it = std::lower_bound(
      names_.begin(), names_.end(), name,
      [](const auto& entry, std::u16string_view key) { return CompareName(entry.first, key) < 0; });
  if (it != names_.end() && CompareName(it->first, name) == 0) return it->second;
  return DISPID_UNKNOWN;
}

DISPID ClassInfo::FindName(std::string_view name) const {
  char16_t buffer[128];
  if (name.size() > std::size(buffer)) return DISPID_UNKNOWN;
  for (size_t i = 0; i < name.size(); ++i) buffer[i] = static_cast<unsigned char>(name[i]);
  return FindName(std::u16string_view(buffer, name.size()));
}

// ---------------------------------------------------------------------------------------
// Errors across Invoke

HRESULT ExceptionToExcepInfo(const RuntimeError& error, const char* defaultSource,
                             EXCEPINFO* info) {
  const std::string& source = error.Source().empty() ? std::string(defaultSource) : error.Source();
  tLastError = LastError{error.Number(), error.Description(), source};
  HRESULT scode = RuntimeErrorScode(error.Number());
  if (info == nullptr) return scode;
  *info = EXCEPINFO{};
  info->bstrSource = SysAllocStringView(Utf8ToUtf16(source));
  info->bstrDescription = SysAllocStringView(Utf8ToUtf16(error.Description()));
  info->scode = scode;
  return DISP_E_EXCEPTION;
}

namespace dispatch_detail {

bool IsMissingArg(const VARIANT& v) {
  return v.vt == VT_ERROR && v.scode == DISP_E_PARAMNOTFOUND;
}

ComPtr<IDispatch> DispatchArg(const VARIANT& v) {
  if (v.vt == VT_DISPATCH) return ComPtr<IDispatch>(v.pdispVal);
  return nullptr;
}

void ThrowTypeMismatch() {
  throw RuntimeError(Err::TypeMismatch);
}

}  // namespace dispatch_detail

// ---------------------------------------------------------------------------------------
// Dispatchable

Dispatchable::Dispatchable(const ClassInfo& info) : info_(info) {
  ++gLiveObjects;
}

Dispatchable::~Dispatchable() {
  --gLiveObjects;
}

void* Dispatchable::QueryAlias(REFIID iid) {
  if (iid == IID_IOrvexDispatchable) return this;
  if (iid == info_.Iid()) return static_cast<IDispatch*>(this);
  return nullptr;
}

HRESULT ORVEX_COM_CALL Dispatchable::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = info_.TypeInfo() != nullptr ? 1 : 0;
  return S_OK;
}

HRESULT ORVEX_COM_CALL Dispatchable::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  if (info == nullptr) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  *info = info_.TypeInfo();
  if (*info == nullptr) return TYPE_E_CANTLOADLIBRARY;
  (*info)->AddRef();
  return S_OK;
}

HRESULT ORVEX_COM_CALL Dispatchable::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                                   DISPID* ids) {
  if (names == nullptr || ids == nullptr || count == 0) return E_INVALIDARG;
  HRESULT hr = S_OK;
  ids[0] = names[0] ? info_.FindName(std::u16string_view(names[0])) : DISPID_UNKNOWN;
  if (ids[0] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
  // Further names are parameters: their ids are their positions.
  for (UINT i = 1; i < count; ++i) {
    ids[i] = DISPID_UNKNOWN;
    if (ids[0] == DISPID_UNKNOWN || names[i] == nullptr) {
      hr = DISP_E_UNKNOWNNAME;
      continue;
    }
    const MemberDesc* best = nullptr;
    for (const MemberDesc& m : info_.Members())
      if (m.dispid == ids[0] && (best == nullptr || m.paramCount > best->paramCount)) best = &m;
    std::u16string_view wanted(names[i]);
    for (size_t p = 0; best && p < best->paramCount; ++p)
      if (CompareName(UpperName(best->params[p].name), wanted) == 0)
        ids[i] = static_cast<DISPID>(p);
    if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
  }
  return hr;
}

namespace {

// One converted argument. `value` is what the member receives: a view of the caller's
// variant, or of `owned` when the conversion made a copy or coercion of its own, which is
// cleared when the call returns.
struct ArgSlot {
  VARIANT value{};
  Variant owned;

  // Passes on what `owned` holds; gives back `hr` (the result of filling it).
  HRESULT PassOwned(HRESULT hr) {
    value = owned;
    return hr;
  }
};

// Converts the caller's argument to the declared type of `p`.
HRESULT ConvertArg(const ParamDesc& p, const VARIANT* source, ArgSlot* slot) {
  const VARIANT* src = source;
  if (src->vt == (VT_BYREF | VT_VARIANT)) {
    if (src->pvarVal == nullptr) return E_INVALIDARG;
    src = src->pvarVal;
  }
  VARTYPE declared = p.type.vt;
  VARTYPE actual = src->vt;
  bool byRef = (actual & VT_BYREF) != 0;
  VARTYPE base = static_cast<VARTYPE>(actual & ~VT_BYREF);

  if (dispatch_detail::IsMissingArg(*src)) {
    slot->value = *src;  // still missing; the caller decides
    return S_OK;
  }
  if (declared == VT_VARIANT || (declared & VT_ARRAY)) {
    if ((declared & VT_ARRAY) && !(base & VT_ARRAY)) return DISP_E_TYPEMISMATCH;
    if (!byRef) {
      slot->value = *src;
      return S_OK;
    }
    return slot->PassOwned(VariantCopyInd(&slot->owned, src));
  }
  if (declared == VT_DISPATCH || declared == VT_UNKNOWN) {
    IUnknown* object = nullptr;
    if (base == VT_DISPATCH || base == VT_UNKNOWN) {
      if (byRef && src->ppunkVal == nullptr) return E_INVALIDARG;
      object = byRef ? *src->ppunkVal : src->punkVal;
    } else if (base != VT_EMPTY) {
      return DISP_E_TYPEMISMATCH;
    }
    slot->value.vt = declared;
    slot->value.punkVal = nullptr;
    if (object != nullptr) {
      void* p2 = nullptr;
      if (FAILED(
              object->QueryInterface(declared == VT_DISPATCH ? IID_IDispatch : IID_IUnknown, &p2)))
        return DISP_E_TYPEMISMATCH;
      slot->owned.vt = declared;
      slot->owned.punkVal = static_cast<IUnknown*>(p2);
      return slot->PassOwned(S_OK);
    }
    return S_OK;
  }
  if (base == declared) {
    if (!byRef) {
      slot->value = *src;
      return S_OK;
    }
    // A view of the value behind the reference (a BSTR stays the caller's).
    if (src->byref == nullptr) return E_INVALIDARG;
    slot->value.vt = declared;
    switch (declared) {
      case VT_BSTR:
        slot->value.bstrVal = *src->pbstrVal;
        break;
      case VT_I4:
        slot->value.lVal = *src->plVal;
        break;
      case VT_I2:
        slot->value.iVal = *src->piVal;
        break;
      case VT_BOOL:
        slot->value.boolVal = *src->pboolVal;
        break;
      case VT_R8:
        slot->value.dblVal = *src->pdblVal;
        break;
      default:
        return slot->PassOwned(VariantCopyInd(&slot->owned, src));
    }
    return S_OK;
  }
  return slot->PassOwned(VariantChangeType(&slot->owned, src, 0, declared));
}

}  // namespace

HRESULT ORVEX_COM_CALL Dispatchable::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                            VARIANT* result, EXCEPINFO* exception, UINT* argError) {
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  if (params == nullptr) params = &none;
  if (params->cArgs < params->cNamedArgs || (params->cArgs != 0 && params->rgvarg == nullptr) ||
      (params->cNamedArgs != 0 && params->rgdispidNamedArgs == nullptr))
    return E_INVALIDARG;
  const MemberDesc* m = info_.Find(id, flags);
  // A collection's enumerator member keeps its table DISPID; script hosts ask for it by
  // DISPID_NEWENUM when they walk the collection (For Each), so that id reaches it too.
  if (m == nullptr && id == DISPID_NEWENUM) m = info_.Find(info_.FindName("NewEnum"), flags);
  if (m == nullptr) return DISP_E_MEMBERNOTFOUND;

  const size_t count = m->paramCount;
  const VARIANT* given[kMaxParams] = {};
  UINT positional = params->cArgs - params->cNamedArgs;
  size_t firstNamed = 0;
  if (m->IsPut()) {
    // The value: the named argument DISPID_PROPERTYPUT (callers that pass it positionally,
    // as the only argument or the last one, are accepted too).
    if (params->cNamedArgs >= 1 && params->rgdispidNamedArgs[0] == DISPID_PROPERTYPUT) {
      given[count - 1] = &params->rgvarg[0];
      firstNamed = 1;
    } else if (params->cNamedArgs == 0 && positional >= 1) {
      given[count - 1] = &params->rgvarg[0];
      --positional;
      // rgvarg[0] is the value; the index arguments follow it in reverse order.
    } else {
      return DISP_E_PARAMNOTOPTIONAL;
    }
  }
  size_t indexParams = m->IsPut() ? count - 1 : count;
  if (positional > indexParams) return DISP_E_BADPARAMCOUNT;
  // Positional arguments occupy the end of rgvarg, last argument first.
  for (UINT i = 0; i < positional; ++i) given[i] = &params->rgvarg[params->cArgs - 1 - i];
  for (UINT n = static_cast<UINT>(firstNamed); n < params->cNamedArgs; ++n) {
    DISPID slot = params->rgdispidNamedArgs[n];
    if (slot < 0 || static_cast<size_t>(slot) >= indexParams || given[slot] != nullptr) {
      if (argError) *argError = n;
      return DISP_E_PARAMNOTFOUND;
    }
    given[slot] = &params->rgvarg[n];
  }

  ArgSlot slots[kMaxParams];
  for (size_t i = 0; i < count; ++i) {
    const ParamDesc& p = m->params[i];
    bool missing = given[i] == nullptr;
    if (!missing) {
      HRESULT hr = ConvertArg(p, given[i], &slots[i]);
      if (FAILED(hr)) {
        // argError counts from the end of rgvarg, as the caller's array is reversed.
        if (argError) *argError = static_cast<UINT>(given[i] - params->rgvarg);
        return hr;
      }
      missing = dispatch_detail::IsMissingArg(slots[i].value);
    }
    if (missing) {
      if (!p.optional) {
        if (argError) *argError = static_cast<UINT>(i);
        return DISP_E_PARAMNOTOPTIONAL;
      }
      slots[i] = ArgSlot{};  // whatever stood for "missing" is replaced
      if (p.hasDefault) {
        const Variant def(p.defaultValue);
        if (p.type.vt == VT_BOOL) {
          slots[i].owned = Variant(p.defaultValue != 0);
        } else if (FAILED(
                       VariantChangeType(&slots[i].owned, &def, 0,
                                         p.type.vt == VT_VARIANT ? VARTYPE(VT_I4) : p.type.vt))) {
          return DISP_E_TYPEMISMATCH;
        }
        slots[i].PassOwned(S_OK);
      } else {
        slots[i].value.vt = VT_ERROR;
        slots[i].value.scode = DISP_E_PARAMNOTFOUND;
      }
    }
  }

  VARIANT args[kMaxParams];
  for (size_t i = 0; i < count; ++i) args[i] = slots[i].value;
  // The caller's result starts empty, as a failed call leaves it; the member writes into
  // an owner of ours, handed over only when it succeeds.
  if (result != nullptr) VariantInit(result);
  Variant value;
  try {
    if (m->binding.thunk == nullptr)
      throw RuntimeError(Err::ActionNotSupported,
                         std::string(info_.Name()) + "." + m->name + " is not implemented");
    m->binding.thunk(*this, args, &value);
    if (result != nullptr) *result = value.Detach();
    return S_OK;
  } catch (const RuntimeError& error) {
    return ExceptionToExcepInfo(error, info_.ProgId()[0] ? info_.ProgId() : info_.Name(),
                                exception);
  } catch (const std::bad_alloc&) {
    return ExceptionToExcepInfo(RuntimeError(Err::OutOfMemory), info_.ProgId(), exception);
  } catch (const std::exception& error) {
    return ExceptionToExcepInfo(RuntimeError(Err::InternalError, error.what()), info_.ProgId(),
                                exception);
  }
}

namespace {
class TableOnlyObject final : public Dispatchable {
 public:
  using Dispatchable::Dispatchable;
};
}  // namespace

Dispatchable* CreateTableOnly(const ClassInfo& info) {
  return new TableOnlyObject(info);
}

}  // namespace orvex
