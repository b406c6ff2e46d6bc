// IEnumVARIANT over a fixed list of values, as collections hand out for "For Each".
#pragma once

#include <vector>

#include "platform/ole/unknown.h"
#include "platform/ole/wrappers.h"

namespace orvex {

// An enumerator over `items` in order (a snapshot: later changes of the collection don't
// show). `owner`, when given, is kept alive as long as the enumerator or a clone lives.
// Answers IUnknown and IEnumVARIANT; Next copies each value (VariantCopy) into the caller's
// array and returns S_FALSE when fewer than asked were left.
ComPtr<IUnknown> CreateEnumVARIANT(std::vector<Variant> items, ComPtr<IUnknown> owner = nullptr);

}  // namespace orvex
