// Late-bound calls, as a script host makes them: create an object by ProgID, find a member
// by name, call it with arguments in natural order. Failures throw RuntimeError with the
// callee's number, description and source (or Err::CantCreateObject, NoSuchPropertyOrMethod, ...
// for failures of the runtime itself).
//
//   ComPtr<IDispatch> catalogue = CreateObject(u"Orvex10.clsQ7ResfResourceTypesA");
//   PutProperty(catalogue.Get(), "Filename", Variant(u"/tmp/x.dll"));
//   Variant dump = Call(catalogue.Get(), "GetHexDump", {Variant(u"#10"), Variant(u"#1")});
#pragma once

#include <initializer_list>
#include <span>
#include <string_view>

#include "platform/ole/class_registry.h"
#include "platform/ole/wrappers.h"

namespace orvex {

// CreateObject: the ProgID's class through the class registry. Throws
// Err::CantCreateObject naming the ProgID and the failure code.
ComPtr<IDispatch> CreateObject(std::u16string_view progId);
// The same without throwing: the HRESULT of the failed step.
HRESULT TryCreateObject(std::u16string_view progId, ComPtr<IDispatch>* object);

// GetIDsOfNames for one name (UTF-8 / UTF-16); throws Err::NoSuchPropertyOrMethod when the
// object has no such member.
DISPID GetDispId(IDispatch* object, std::string_view name);
DISPID GetDispId(IDispatch* object, std::u16string_view name);

// Invoke with `flags` (DISPATCH_*) and arguments in natural order. A property put passes
// its value as the last argument, sent as the named argument DISPID_PROPERTYPUT.
// Arguments are passed as they are: use Variant::RefTo for by-reference arguments.
Variant InvokeById(IDispatch* object, DISPID id, WORD flags, std::span<const Variant> args);
Variant Invoke(IDispatch* object, std::string_view name, WORD flags,
               std::span<const Variant> args = {});
Variant Invoke(IDispatch* object, std::string_view name, WORD flags,
               std::initializer_list<Variant> args);

// obj.Member(args...) — a method call or a property read.
Variant Call(IDispatch* object, std::string_view name, std::initializer_list<Variant> args = {});
Variant GetProperty(IDispatch* object, std::string_view name,
                    std::initializer_list<Variant> args = {});
// obj.Member = value (Let) and Set obj.Member = value (by reference).
void PutProperty(IDispatch* object, std::string_view name, const Variant& value);
void PutPropertyRef(IDispatch* object, std::string_view name, const Variant& value);

// Throws the RuntimeError for a failed Invoke, taking number, description and source from
// EXCEPINFO (whose strings it frees) when the result is DISP_E_EXCEPTION.
[[noreturn]] void ThrowInvokeFailure(HRESULT hr, EXCEPINFO& exception);

}  // namespace orvex
