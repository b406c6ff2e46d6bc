#include "platform/ole/late_bound.h"

#include <cstdio>
#include <vector>

#include "platform/text/text.h"

namespace orvex {

HRESULT TryCreateObject(std::u16string_view progId, ComPtr<IDispatch>* object) {
  *object = nullptr;
  CLSID clsid;
  HRESULT hr = CLSIDFromProgID(progId, &clsid);
  if (FAILED(hr)) return hr;
  return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, object->PutVoid());
}

ComPtr<IDispatch> CreateObject(std::u16string_view progId) {
  ComPtr<IDispatch> object;
  HRESULT hr = TryCreateObject(progId, &object);
  if (FAILED(hr)) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(hr));
    throw RuntimeError(Err::CantCreateObject, Utf16ToUtf8(progId) + ": " + code);
  }
  return object;
}

DISPID GetDispId(IDispatch* object, std::u16string_view name) {
  if (object == nullptr) throw RuntimeError(Err::ObjectVariableNotSet);
  std::u16string text(name);
  LPOLESTR names[1] = {text.data()};
  DISPID id = DISPID_UNKNOWN;
  HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) throw RuntimeError(Err::NoSuchPropertyOrMethod, Utf16ToUtf8(name));
  return id;
}

DISPID GetDispId(IDispatch* object, std::string_view name) {
  return GetDispId(object, std::u16string_view(Utf8ToUtf16(name)));
}

void ThrowInvokeFailure(HRESULT hr, EXCEPINFO& exception) {
  if (hr == DISP_E_EXCEPTION) {
    if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
    Bstr source = Bstr::Attach(exception.bstrSource);
    Bstr description = Bstr::Attach(exception.bstrDescription);
    const Bstr helpFile = Bstr::Attach(exception.bstrHelpFile);  // not reported; freed
    HRESULT code = exception.scode != 0 ? exception.scode : hr;
    exception = EXCEPINFO{};
    int32_t number = ErrorNumberOf(code);
    std::string text = Utf16ToUtf8(description.View());
    if (text.empty()) text = ErrText(number);
    throw RuntimeError(number, text, Utf16ToUtf8(source.View()));
  }
  ThrowIfFailed(hr);
  throw RuntimeError(Err::AutomationError);
}

Variant InvokeById(IDispatch* object, DISPID id, WORD flags, std::span<const Variant> args) {
  if (object == nullptr) throw RuntimeError(Err::ObjectVariableNotSet);
  VARIANT local[8];
  std::vector<VARIANT> heap;
  VARIANT* reversed = local;
  if (args.size() > std::size(local)) {
    heap.resize(args.size());
    reversed = heap.data();
  }
  for (size_t i = 0; i < args.size(); ++i) reversed[args.size() - 1 - i] = args[i];
  DISPID putId = DISPID_PROPERTYPUT;
  bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  DISPPARAMS params{args.empty() ? nullptr : reversed, put ? &putId : nullptr,
                    static_cast<UINT>(args.size()), put && !args.empty() ? 1u : 0u};
  Variant result;
  EXCEPINFO exception{};
  UINT argError = 0;
  HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                              put ? nullptr : &result, &exception, &argError);
  if (FAILED(hr)) ThrowInvokeFailure(hr, exception);
  return result;
}

Variant Invoke(IDispatch* object, std::string_view name, WORD flags,
               std::span<const Variant> args) {
  return InvokeById(object, GetDispId(object, name), flags, args);
}

Variant Invoke(IDispatch* object, std::string_view name, WORD flags,
               std::initializer_list<Variant> args) {
  return Invoke(object, name, flags, std::span<const Variant>(args.begin(), args.size()));
}

Variant Call(IDispatch* object, std::string_view name, std::initializer_list<Variant> args) {
  return Invoke(object, name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, args);
}

Variant GetProperty(IDispatch* object, std::string_view name, std::initializer_list<Variant> args) {
  return Invoke(object, name, DISPATCH_PROPERTYGET, args);
}

void PutProperty(IDispatch* object, std::string_view name, const Variant& value) {
  Invoke(object, name, DISPATCH_PROPERTYPUT, std::span<const Variant>(&value, 1));
}

void PutPropertyRef(IDispatch* object, std::string_view name, const Variant& value) {
  Invoke(object, name, DISPATCH_PROPERTYPUTREF, std::span<const Variant>(&value, 1));
}

}  // namespace orvex
