// The ten classes of the Orvex10 type library, described once (server/class_catalogue.cpp
// holds the member tables). Dispatch, type information and registration all come from
// these descriptions.
#pragma once

#include <span>

#include "platform/ole/class_registry.h"
#include "platform/ole/dispatch.h"

namespace orvex {

const ClassInfo& clsQ7ResfResourceTypesAInfo();
const ClassInfo& clsQ7ResfResourceTypeAInfo();
const ClassInfo& clsQ7ResfResourceItemsAInfo();
const ClassInfo& clsQ7ResfResourceItemAInfo();
const ClassInfo& clsQ7ResfResourceHandlerAInfo();
const ClassInfo& clsQ7ResfGeneralAInfo();
const ClassInfo& clsQ7ResfAdvancedAInfo();
const ClassInfo& clsQ7Orvex10AInfo();
const ClassInfo& clsQ7ResfPlayAviAInfo();
const ClassInfo& clsQ7ResfFunctionCallAInfo();

// All ten, in the order of the type library.
std::span<const ClassInfo* const> Orvex10Classes();
// What DllRegisterServer writes and DllUnregisterServer removes.
const ServerDescription& Orvex10Server();

// Registers the ten factories with the in-process class registry (idempotent), so that
// code linked with the library creates its objects by ProgID without a registry file.
void RegisterOrvex10Classes();

}  // namespace orvex
