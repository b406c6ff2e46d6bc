#include "support/scripted_object.h"

#include <cstdio>

#include "platform/ole/com_object.h"
#include "platform/ole/oleauto.h"
#include "platform/text/text.h"

namespace orvex::test {

struct ScriptedObject::Object final : ComObject<Object, IDispatch> {
  struct Entry {
    std::string name;
    Handler handler;
    DISPID dispid;
  };
  std::vector<Entry> members;
  std::vector<std::string> log;

  HRESULT ORVEX_COM_CALL GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT ORVEX_COM_CALL GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT ORVEX_COM_CALL GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                       DISPID* ids) override {
    if (count == 0) return S_OK;
    const std::u16string wanted(names[0]);
    for (size_t i = 0; i < members.size(); ++i) {
      if (EqualsIgnoringCase(Utf8ToUtf16(members[i].name), wanted)) {
        ids[0] = members[i].dispid;
        return S_OK;
      }
    }
    ids[0] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT ORVEX_COM_CALL Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                VARIANT* result, EXCEPINFO*, UINT*) override {
    const Entry* found = nullptr;
    for (const Entry& e : members) {
      if (e.dispid == id) found = &e;
    }
    if (!found) return DISP_E_MEMBERNOTFOUND;
    const Entry& entry = *found;
    std::vector<Variant> args;
    for (UINT i = params ? params->cArgs : 0; i-- > 0;) {
      const VARIANT& arg = params->rgvarg[i];
      if (arg.vt == (VT_BYREF | VT_VARIANT)) {
        args.emplace_back(*arg.pvarVal);
      } else if (arg.vt & VT_BYREF) {
        Variant copy;
        VariantCopyInd(&copy, &arg);
        args.push_back(std::move(copy));
      } else {
        args.emplace_back(arg);
      }
    }
    std::string line = entry.name;
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
      line += "=" + (args.empty() ? std::string() : Describe(args.back()));
    } else if (!args.empty() || (flags & DISPATCH_METHOD)) {
      line += "(";
      for (size_t i = 0; i < args.size(); ++i) line += (i ? ", " : "") + Describe(args[i]);
      line += ")";
    }
    log.push_back(line);
    Variant value = entry.handler(args);
    if (result) *result = value.Detach();
    return S_OK;
  }
};

ScriptedObject::ScriptedObject() : object_(new Object) {}
ScriptedObject::~ScriptedObject() {
  object_->Release();
}

void ScriptedObject::Member(const std::string& name, Handler handler, DISPID dispid) {
  for (auto& entry : object_->members) {
    if (entry.name == name) {
      entry.handler = std::move(handler);
      return;
    }
  }
  if (dispid == DISPID_UNKNOWN) dispid = static_cast<DISPID>(1000 + object_->members.size());
  object_->members.push_back({name, std::move(handler), dispid});
}

void ScriptedObject::Constant(const std::string& name, Variant value, DISPID dispid) {
  Member(
      name, [value](const std::vector<Variant>&) { return value; }, dispid);
}

IDispatch* ScriptedObject::Get() const {
  return object_;
}
const std::vector<std::string>& ScriptedObject::Log() const {
  return object_->log;
}
void ScriptedObject::ClearLog() {
  object_->log.clear();
}

std::string Describe(const VARIANT& value) {
  switch (value.vt) {
    case VT_EMPTY:
      return "empty";
    case VT_ERROR:
      return "missing";
    case VT_DISPATCH:
    case VT_UNKNOWN:
      return "obj";
    case VT_BSTR:
      return "\"" + Utf16ToUtf8(value.bstrVal ? value.bstrVal : u"") + "\"";
    default: {
      Variant number;
      if (VariantChangeType(&number, &value, 0, VT_R8) < 0) return "?";
      char text[32];
      std::snprintf(text, sizeof text, "%g", number.dblVal);
      return text;
    }
  }
}

}  // namespace orvex::test
