// The backend's registry of classes, behind the in-process table of class_table.cpp: where
// a ProgID or a CLSID not registered in-process is looked up (the stand-in's registry file,
// or the platform's registry and COM).
#pragma once

#include <string_view>

#include "platform/ole/types.h"

namespace orvex {

// ProgID to CLSID; CO_E_CLASSSTRING when unknown.
HRESULT RegisteredClsid(std::u16string_view progId, CLSID* clsid);
// The factory of a registered class; REGDB_E_CLASSNOTREG when unknown.
HRESULT RegisteredClassObject(REFCLSID clsid, REFIID iid, void** object);

}  // namespace orvex
