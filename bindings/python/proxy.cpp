// The Python face of the library's automation objects: calls through IDispatch with
// positional, named and by-reference arguments, and descriptions from the type information.
#include "proxy.h"

#include <algorithm>

#include "conversions.h"
#include "host_callbacks.h"
#include "member_help.h"
#include "platform/ole/late_bound.h"
#include "platform/ole/oleauto.h"
#include "platform/text/text.h"

namespace orvex::python {

DISPID Proxy::IdOf(const std::string& name) const {
  try {
    return GetDispId(object_.Get(), name);
  } catch (const RuntimeError& error) {
    throw py::attribute_error(error.Description());
  }
}

std::vector<DISPID> Proxy::ParamIds(const std::string& member,
                                    const std::vector<std::string>& params) const {
  std::vector<std::u16string> texts{Utf8ToUtf16(member)};
  for (const std::string& p : params) texts.push_back(Utf8ToUtf16(p));
  std::vector<LPOLESTR> names;
  names.reserve(texts.size());
  for (std::u16string& t : texts) names.push_back(t.data());
  std::vector<DISPID> ids(names.size(), DISPID_UNKNOWN);
  if (object_->GetIDsOfNames(IID_NULL, names.data(), static_cast<UINT>(names.size()), 0,
                             ids.data()) < 0) {
    Raise(RuntimeError(Err::NamedArgumentNotFound, member));
  }
  return std::vector<DISPID>(ids.begin() + 1, ids.end());
}

std::string Proxy::Describe() const {
  if (auto text = DescribeFromClassTable(object_.Get())) return *text;
  std::string out;
  ITypeInfo* raw = nullptr;
  if (object_->GetTypeInfo(0, 0, &raw) < 0 || !raw) return "An automation object.";
  auto info = ComPtr<ITypeInfo>::Attach(raw);
  BSTR name = nullptr;
  if (info->GetDocumentation(-1, &name, nullptr, nullptr, nullptr) >= 0) {
    out = Utf16ToUtf8(Bstr::Attach(name).View()) + " members:\n";
  }
  const TYPEATTR* attr = nullptr;
  if (info->GetTypeAttr(&attr) < 0 || !attr) return out;
  std::vector<std::string> seen;
  for (UINT i = 0; i < attr->cFuncs; ++i) {
    const FUNCDESC* desc = nullptr;
    if (info->GetFuncDesc(i, &desc) < 0 || !desc) continue;
    BSTR names[16] = {};
    UINT count = 0;
    if (info->GetNames(desc->memid, names, 16, &count) < 0 || count == 0) continue;
    std::vector<std::string> texts;
    for (UINT n = 0; n < count; ++n) texts.push_back(Utf16ToUtf8(Bstr::Attach(names[n]).View()));
    std::string line = "  " + texts[0];
    if (desc->invkind == INVOKE_PROPERTYPUT || desc->invkind == INVOKE_PROPERTYPUTREF) {
      line += " = value";
    } else if (desc->invkind == INVOKE_FUNC || desc->cParams > 0) {
      line += "(";
      for (size_t n = 1; n < texts.size() && static_cast<SHORT>(n) <= desc->cParams; ++n) {
        line += (n > 1 ? ", " : "") + texts[n];
      }
      line += ")";
    }
    if (std::find(seen.begin(), seen.end(), line) != seen.end()) continue;
    seen.push_back(line);
    out += line + "\n";
  }
  return out;
}

std::vector<std::string> Proxy::MemberNames() const {
  std::vector<std::string> out;
  ITypeInfo* raw = nullptr;
  if (object_->GetTypeInfo(0, 0, &raw) < 0 || !raw) return out;
  auto info = ComPtr<ITypeInfo>::Attach(raw);
  const TYPEATTR* attr = nullptr;
  if (info->GetTypeAttr(&attr) < 0 || !attr) return out;
  for (UINT i = 0; i < attr->cFuncs; ++i) {
    const FUNCDESC* desc = nullptr;
    if (info->GetFuncDesc(i, &desc) < 0 || !desc) continue;
    BSTR name = nullptr;
    UINT count = 0;
    if (info->GetNames(desc->memid, &name, 1, &count) >= 0 && count == 1) {
      const Bstr owned = Bstr::Attach(name);
      const std::string text = Utf16ToUtf8(owned.View());
      if (std::find(out.begin(), out.end(), text) == out.end()) out.push_back(text);
    }
  }
  return out;
}

bool Proxy::NeedsCall(DISPID id) const {
  ComPtr<ITypeInfo> info;
  ITypeInfo* raw = nullptr;
  if (object_->GetTypeInfo(0, 0, &raw) < 0 || !raw) return false;
  info = ComPtr<ITypeInfo>::Attach(raw);
  const TYPEATTR* attr = nullptr;
  if (info->GetTypeAttr(&attr) < 0 || !attr) return false;
  for (UINT i = 0; i < attr->cFuncs; ++i) {
    const FUNCDESC* desc = nullptr;
    if (info->GetFuncDesc(i, &desc) < 0 || !desc || desc->memid != id) continue;
    if (desc->invkind == INVOKE_FUNC) return true;
    if (desc->invkind == INVOKE_PROPERTYGET && desc->cParams > 0) return true;
  }
  return false;
}

py::object Proxy::Invoke(DISPID id, WORD flags, std::vector<Variant> args,
                         std::vector<DISPID> named) const {
  // DISPPARAMS lists the named arguments first, then the positional ones last to first.
  const size_t positional = args.size() - named.size();
  std::vector<Variant> ordered;
  for (size_t i = positional; i < args.size(); ++i) ordered.push_back(std::move(args[i]));
  for (size_t i = positional; i-- > 0;) ordered.push_back(std::move(args[i]));
  args = std::move(ordered);
  DISPPARAMS params{args.empty() ? nullptr : args.data(), nullptr, static_cast<UINT>(args.size()),
                    0};
  if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) named = {DISPID_PROPERTYPUT};
  if (!named.empty()) {
    params.rgdispidNamedArgs = named.data();
    params.cNamedArgs = static_cast<UINT>(named.size());
  }
  Variant result;
  EXCEPINFO exception{};
  HRESULT hr;
  {
    py::gil_scoped_release release;
    hr = object_->Invoke(id, IID_NULL, 0, flags, &params, &result, &exception, nullptr);
  }
  // What a report or message-box callback raised comes out of the call that caused it,
  // before the call's own failure.
  if (hr < 0) {
    try {
      ThrowInvokeFailure(hr, exception);
    } catch (const RuntimeError& error) {
      RaisePendingCallbackError();
      Raise(error);
    }
  }
  RaisePendingCallbackError();
  return FromVariant(result);
}

py::object BoundMember::Call(const py::args& args, const py::kwargs& kwargs, bool byRef) const {
  std::vector<Variant> values;
  for (const py::handle arg : args) values.push_back(ToVariant(arg));
  std::vector<std::string> keywords;
  for (const auto& [key, value] : kwargs) {
    keywords.push_back(py::str(key));
    values.push_back(ToVariant(value));
  }
  std::vector<DISPID> named =
      keywords.empty() ? std::vector<DISPID>{} : proxy.ParamIds(name, keywords);
  if (!byRef) {
    return proxy.Invoke(id, DISPATCH_METHOD | DISPATCH_PROPERTYGET, std::move(values),
                        std::move(named));
  }
  // By reference: each argument is a variable the callee may change.
  std::vector<Variant> cells = std::move(values);
  std::vector<Variant> refs;
  refs.reserve(cells.size());
  for (Variant& cell : cells) refs.push_back(Variant::RefTo(static_cast<VARIANT&>(cell)));
  py::object result =
      proxy.Invoke(id, DISPATCH_METHOD | DISPATCH_PROPERTYGET, std::move(refs), std::move(named));
  py::list out;
  out.append(result);
  for (const Variant& cell : cells) out.append(FromVariant(cell));
  return py::tuple(out);
}

}  // namespace orvex::python
