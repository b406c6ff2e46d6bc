// What variants and safe arrays share about element types. Not for other modules.
#pragma once

#include <cstddef>

#include "platform/ole/types.h"

namespace orvex {

// The bytes a value of `vt` takes in a variant's union or a safe array's element, or 0
// for the types the runtime does not store.
size_t ScalarSize(VARTYPE vt);

}  // namespace orvex
