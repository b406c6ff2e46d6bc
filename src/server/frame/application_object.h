// The application object: an automation object describing the library module itself
// (name, folder, title, version numbers, the texts of its version block, instance handle).
// One per thread, made on first use and kept in ThreadModuleState. Read-only members:
//
//   Name, Path (the folder of the library's file), Title, Major, Minor, Revision,
//   Comments, CompanyName, FileDescription, LegalCopyright, LegalTrademarks, ProductName,
//   hInstance (the handle of the module holding the library's own resources, own_module.h).
#pragma once

#include "platform/ole/unknown.h"

namespace orvex {

// The calling thread's application object (a new reference).
ComPtr<IDispatch> GetApplicationObject();

}  // namespace orvex
