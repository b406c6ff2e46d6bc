// GetMessageTable's rendering of a message table.
#pragma once

#include <string>

#include "base/byte_reader.h"
#include "base/step_runner.h"

namespace orvex {

// GetMessageTable after GetDataArray(11, resName): `data` is the table's bytes, empty when
// GetDataArray yielded the empty variant. Renders every message of every block as "id: text"
// with only the message's own line breaks (LF brought to CR LF) after it. Reported steps:
// taking the bytes (Err::TypeMismatch when empty); reading the block count
// (Err::SubscriptOutOfRange when missing; it then counts
// as 0); copying the block records (the same when they run past the bytes: the whole records that
// fit are rendered); then one step per block, which fails with Err::SubscriptOutOfRange when an
// entry's header, its Length (below 4) or its text runs past the bytes: the entries before it stay
// rendered, the rest of that block is left out, and the next block runs.
//
// Blocks may share their entries, so a small hostile table could render text out of all
// proportion to its size: a block whose text would pass `maxLength` characters fails with
// 14 (out of string space), and the text stops short of that limit.
inline constexpr size_t kMaxMessageTableText = size_t{1} << 26;
std::u16string GetMessageTable(Bytes data, StepRunner& steps,
                               size_t maxLength = kMaxMessageTableText);

}  // namespace orvex
