// GetHexDump's steps around the dump's lines (renderers/hex_dump_lines.h): taking the bytes,
// reserving the text, and blanks past the length limit.
#pragma once

#include <string>

#include "base/byte_reader.h"
#include "base/step_runner.h"
#include "renderers/hex_dump_lines.h"

namespace orvex {

// GetHexDump after GetDataArray: `data` is the resource's bytes, empty when GetDataArray
// yielded the empty variant. Taking the bytes and reserving the text run as reported steps
// of `steps` (both fail, with Err::TypeMismatch and
// Err::SubscriptOutOfRange, for empty data; the result is then the empty text).
// A reservation longer than 65534 characters (more than 13264 bytes) is returned as blanks;
// otherwise the lines are rendered into it without reports.
std::u16string GetHexDump(Bytes data, StepRunner& steps);

}  // namespace orvex
