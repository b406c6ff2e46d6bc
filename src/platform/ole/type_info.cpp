// Type information built from the member table (the stand-in's own: the platform reads it
// from the type library instead).
#include <vector>

#include "platform/ole/dispatch.h"
#include "platform/text/text.h"

namespace orvex {

class ClassInfo::TypeInfoImpl final : public ComObject<TypeInfoImpl, ITypeInfo> {
 public:
  explicit TypeInfoImpl(const ClassInfo& info) : info_(info) {
    auto members = info.Members();
    attr_.guid = info.Iid();
    attr_.lcid = LOCALE_NEUTRAL;
    attr_.typekind = TKIND_DISPATCH;
    attr_.cFuncs = static_cast<WORD>(members.size());
    attr_.cVars = 0;
    attr_.wMajorVerNum = 1;
    attr_.wMinorVerNum = 0;
    attr_.wTypeFlags = 0x1000 | 0x40 | 0x10 | 0x2000;  // dual, hidden, non-extensible, automation
    params_.resize(members.size());
    funcs_.resize(members.size());
    for (size_t i = 0; i < members.size(); ++i) {
      const MemberDesc& m = members[i];
      auto& params = params_[i];
      short optional = 0;
      for (const ParamDesc& p : m.Params()) {
        ELEMDESC e{};
        e.vt = static_cast<VARTYPE>(p.type.vt | (p.byRef ? VT_BYREF : 0));
        e.wParamFlags = PARAMFLAG_FIN;
        e.typeName = p.type.name;  // ELEMDESC{} left defaultValue VT_EMPTY
        if (p.optional) {
          e.wParamFlags |= PARAMFLAG_FOPT;
          ++optional;
        }
        if (p.hasDefault) {
          e.wParamFlags |= PARAMFLAG_FHASDEFAULT;
          if (p.type.vt == VT_BOOL) {
            e.defaultValue.vt = VT_BOOL;
            e.defaultValue.boolVal = p.defaultValue ? VARIANT_TRUE : VARIANT_FALSE;
          } else {
            e.defaultValue.vt = VT_I4;
            e.defaultValue.lVal = p.defaultValue;
          }
        }
        params.push_back(e);
      }
      FUNCDESC& f = funcs_[i];
      f.memid = m.dispid;
      f.invkind = static_cast<INVOKEKIND>(m.kind);
      f.cParams = static_cast<SHORT>(m.paramCount);
      f.cParamsOpt = optional;
      f.oVft = static_cast<SHORT>((7 + i) * sizeof(void*));
      f.elemdescFunc = ELEMDESC{};
      f.elemdescFunc.vt = m.result.vt == VT_EMPTY ? VARTYPE(VT_VOID) : m.result.vt;
      f.elemdescFunc.typeName = m.result.name;
      f.lprgelemdescParam = params.empty() ? nullptr : params.data();
    }
  }
  HRESULT ORVEX_COM_CALL GetTypeAttr(const TYPEATTR** attr) override {
    if (attr == nullptr) return E_POINTER;
    *attr = &attr_;
    return S_OK;
  }
  HRESULT ORVEX_COM_CALL GetFuncDesc(UINT index, const FUNCDESC** desc) override {
    if (desc == nullptr) return E_POINTER;
    if (index >= funcs_.size()) return TYPE_E_ELEMENTNOTFOUND;
    *desc = &funcs_[index];
    return S_OK;
  }
  HRESULT ORVEX_COM_CALL GetNames(MEMBERID id, BSTR* names, UINT maxNames, UINT* count) override {
    if (names == nullptr || count == nullptr) return E_POINTER;
    *count = 0;
    const MemberDesc* m = nullptr;
    // A put's parameter list names the value too; prefer the member with most parameters.
    for (const MemberDesc& candidate : info_.Members())
      if (candidate.dispid == id && (m == nullptr || candidate.paramCount > m->paramCount))
        m = &candidate;
    if (m == nullptr) return TYPE_E_ELEMENTNOTFOUND;
    if (maxNames == 0) return S_OK;
    names[(*count)++] = SysAllocStringView(Utf8ToUtf16(m->name));
    for (const ParamDesc& p : m->Params()) {
      if (*count >= maxNames) break;
      names[(*count)++] = SysAllocStringView(Utf8ToUtf16(p.name));
    }
    return S_OK;
  }
  HRESULT ORVEX_COM_CALL GetIDsOfNames(LPOLESTR* names, UINT count, MEMBERID* ids) override {
    if (names == nullptr || ids == nullptr || count == 0) return E_INVALIDARG;
    ids[0] = info_.FindName(std::u16string_view(names[0]));
    for (UINT i = 1; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    return ids[0] == DISPID_UNKNOWN ? DISP_E_UNKNOWNNAME : S_OK;
  }
  HRESULT ORVEX_COM_CALL GetDocumentation(MEMBERID id, BSTR* name, BSTR* doc, DWORD* helpContext,
                                          BSTR* helpFile) override {
    const char* text = nullptr;
    if (id == -1) {
      text = info_.InterfaceName();
    } else {
      for (const MemberDesc& m : info_.Members())
        if (m.dispid == id) text = m.name;
    }
    if (text == nullptr) return TYPE_E_ELEMENTNOTFOUND;
    if (name) *name = SysAllocStringView(Utf8ToUtf16(text));
    if (doc) *doc = nullptr;
    if (helpContext) *helpContext = 0;
    if (helpFile) *helpFile = nullptr;
    return S_OK;
  }

 private:
  const ClassInfo& info_;
  TYPEATTR attr_{};
  std::vector<std::vector<ELEMDESC>> params_;
  std::vector<FUNCDESC> funcs_;
};

void ClassInfo::BuildTypeInfo() {
  typeInfo_ = {new TypeInfoImpl(*this), [](TypeInfoImpl* p) { p->Release(); }};
}

ClassInfo::~ClassInfo() = default;

ITypeInfo* ClassInfo::TypeInfo() const {
  return typeInfo_.get();
}

}  // namespace orvex
