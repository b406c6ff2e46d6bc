// GetMessageTable's rendering of a message table.
#pragma once

#include <string>

#include "base/byte_reader.h"
#include "base/step_runner.h"

namespace orvex {

// GetMessageTable after GetDataArray(11, resName): `data` is the table's bytes, empty when
// GetDataArray yielded the empty variant. Renders every message of every block as "id: text"
// with only the message's own line breaks (LF brought to CR LF) after it. Reported steps:
// taking the bytes (13 when empty); reading the block count (9 when missing; it then counts
// as 0); copying the block records (9 when they run past the bytes: the whole records that
// fit are rendered); then one step per block, which fails with 9 when an entry's header, its
// Length (below 4) or its text runs past the bytes: the entries before it stay rendered, the
// rest of that block is left out, and the next block runs.
std::u16string GetMessageTable(Bytes data, StepRunner& steps);

}  // namespace orvex
