// GetHTML's rendering: the resource's bytes as text.
#pragma once

#include <string>

#include "base/byte_reader.h"

namespace orvex {

// Converts all of `data` from the ANSI code page in one conversion: nothing is cut, zero bytes
// become NUL characters, no byte-order mark or declared character set is looked at. Empty data
// (GetDataArray's empty variant) gives the empty text.
std::u16string GetHTML(Bytes data);
// GetHTML written in place at `out`, which holds data.size() units.
void WriteHTML(Bytes data, char16_t* out);

}  // namespace orvex
