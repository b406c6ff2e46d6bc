// The error object a client's error handler sees: Number, Description, Source (read and
// write), HelpFile, HelpContext, LastDllError and Clear. Not creatable; made from a
// run-time error to hand it to another component.
#pragma once

#include "base/runtime_error.h"
#include "platform/ole/unknown.h"

namespace orvex {

ComPtr<IDispatch> MakeErrorObject(const RuntimeError& error);

}  // namespace orvex
