// The library's own resources. The library is a shared object, not a PE module, so it
// carries its resources as a small resource-only PE image made at build time
// (own_resources_writer.cpp) and embedded in the library: the version block (VERSION 1)
// and one interface-identifier resource per class (type IID, numbered 1 to 10 in the
// order of the type library). No string table, pictures or custom data; no type library
// file either (type information is built from the class tables at run time).
//
// The image is opened once per process through the module layer, from an anonymous
// in-memory file, and stays loaded until the process ends; the resource functions read it
// through the handle like any module.
#pragma once

#include "base/byte_reader.h"
#include "platform/win32_types.h"

namespace orvex {

// The embedded image's bytes.
Bytes OwnResourceImage();
// The module handle of the library's own resources (loaded on first use); 0 when it
// cannot be loaded.
HMODULE OwnModuleHandle();

}  // namespace orvex
