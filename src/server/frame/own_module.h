// The library's own resources: a small resource-only PE image made at build time
// (own_resources_writer.cpp) and embedded in the library: the version block (VERSION 1)
// and one interface-identifier resource per class (type IID, numbered 1 to 10 in the
// order of the type library). No string table, pictures or custom data.
//
// The module layer opens it once per process (LoadOwnResourceModule): where the library is
// a shared object, the image itself; where it is a PE module, the library's own module,
// into which the build links the same resources (and the type library). It stays loaded
// until the process ends; the resource functions read it through the handle like any
// module.
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
