// GetHexDump's steps around the dump's lines (renderers/hex_dump_lines.h): taking the bytes,
// reserving the text, and blanks past the length limit.
#pragma once

#include <optional>
#include <string>

#include "base/byte_reader.h"
#include "base/step_runner.h"
#include "renderers/hex_dump_lines.h"

namespace orvex {

// GetHexDump's reported steps for `data`, the resource's bytes after GetDataArray (empty when
// GetDataArray yielded the empty variant): taking the bytes and reserving the text (both
// fail, with Err::TypeMismatch and Err::SubscriptOutOfRange, for empty data). Gives the
// text's length, or nullopt when the reservation failed (the result is then the empty text).
std::optional<size_t> ReserveHexDump(Bytes data, StepRunner& steps);

// Writes the text of ReserveHexDump's `length` for `data` at `out` (`length` units): a
// reservation longer than 65534 characters (more than 13264 bytes) is returned as blanks;
// otherwise the lines are rendered into it without reports.
void WriteHexDump(Bytes data, size_t length, char16_t* out);

// ReserveHexDump and WriteHexDump into a new text.
std::u16string GetHexDump(Bytes data, StepRunner& steps);

}  // namespace orvex
