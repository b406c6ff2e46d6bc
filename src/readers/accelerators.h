// GetAccelerators' rendering of an accelerator table, and the key naming it uses.
#pragma once

#include <cstdint>
#include <string>

#include "base/byte_reader.h"
#include "base/step_runner.h"

namespace orvex {

// The text of a virtual-key code: digits and capital letters as themselves, F1 to F16, the
// named keys, and "Virtual Key " with the code in signed decimal for every other code.
std::u16string VirtualKeyName(int32_t keyCode);

// GetAccelerators after GetDataArray(9, resName): `data` is the table's bytes, empty when
// GetDataArray yielded the empty variant. One line per whole 8-byte record: "Shift+",
// "Ctrl+", "Alt+" as flagged, the key's name, " (cmdID = ", the signed 16-bit command
// identifier, ")" CR LF. Reported steps: taking the bytes (Err::TypeMismatch when empty), counting
// the records (Err::SubscriptOutOfRange when empty), making room for them and copying them (the
// same each when there is no
// whole record); bytes beyond the last whole record are ignored.
std::u16string GetAccelerators(Bytes data, StepRunner& steps);

}  // namespace orvex
