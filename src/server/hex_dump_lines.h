// GetHexDump's layout for hosts that show resources past the member's length limit: the
// same renderer the member uses, from any first offset, so a host can dump a long resource
// (taken with GetDataArray) a block at a time.
#pragma once

#include <cstddef>
#include <string>

#include "base/byte_reader.h"

namespace orvex {

// The largest resource whose dump GetHexDump renders (13264 bytes); past it the member
// returns blanks.
extern const size_t kGetHexDumpMaxBytes;
// Bytes per dump line (16): blocks that start on a multiple of it continue the layout.
extern const size_t kHexDumpLineBytes;

// The dump lines of `data` in GetHexDump's layout (79 characters each, ending in CR LF),
// the first one labelled `firstOffset`. No length limit; empty data gives the empty text.
std::u16string RenderHexDumpLines(Bytes data, size_t firstOffset);

}  // namespace orvex
