// The outside framework component: error reports and the About box of the library, in a
// library of its own (libq7halden10.so, ProgIDs Q7Halden10.clsQ7elErrorHandlerA and
// Q7Halden10.clsQ7Halden10A). The Orvex10 library reaches it only by ProgID: through the
// in-process class registry when a host links this component and calls
// RegisterQ7Halden10Classes() (the command-line client does), otherwise through the
// registry file after libq7halden10.so's DllRegisterServer.
//
// Default behaviour:
// - ErrorHandlerMessageQ7 writes one line per report to stderr:
//     "<source>: error <number>: <description>"
//   (the source argument, and the number and description read from the error object).
// - AppAboutQ7el shows a message box with the application object's title, version and
//   description, captioned "About <title>".
#pragma once

#include <span>

#include "platform/ole/class_registry.h"
#include "platform/ole/dispatch.h"

namespace orvex {

inline constexpr GUID LIBID_Q7Halden10 = MakeGuid("{0B7E5C10-6D2A-4F3B-A1C4-51E2D7A3B900}");
inline constexpr CLSID CLSID_clsQ7elErrorHandlerA =
    MakeGuid("{0B7E5C11-6D2A-4F3B-A1C4-51E2D7A3B901}");
inline constexpr IID IID__clsQ7elErrorHandlerA = MakeGuid("{0B7E5C12-6D2A-4F3B-A1C4-51E2D7A3B902}");
inline constexpr CLSID CLSID_clsQ7Halden10A = MakeGuid("{0B7E5C13-6D2A-4F3B-A1C4-51E2D7A3B903}");
inline constexpr IID IID__clsQ7Halden10A = MakeGuid("{0B7E5C14-6D2A-4F3B-A1C4-51E2D7A3B904}");

class clsQ7elErrorHandlerA : public Dispatchable {
 public:
  using Dispatchable::Dispatchable;
  int32_t ErrorHandlerMessageQ7(const ComPtr<IDispatch>& app, const ComPtr<IDispatch>& error,
                                std::u16string_view text, std::u16string_view source, int32_t value,
                                std::u16string_view text2, int32_t value2, const VARIANT& extra);
};

class clsQ7Halden10A : public Dispatchable {
 public:
  using Dispatchable::Dispatchable;
  int32_t AppAboutQ7el(const ComPtr<IDispatch>& app);
};

const ClassInfo& clsQ7elErrorHandlerAInfo();
const ClassInfo& clsQ7Halden10AInfo();
std::span<const ClassInfo* const> Q7Halden10Classes();
const ServerDescription& Q7Halden10Server();

// Registers both classes with the in-process class registry (idempotent).
void RegisterQ7Halden10Classes();
// Removes them again (a host that wants reports to go nowhere, or tests).
void RevokeQ7Halden10Classes();

}  // namespace orvex
