// GetString's rendering of a string-table block, and the text helpers shared with the
// message-table renderer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/byte_reader.h"
#include "base/step_runner.h"

namespace orvex {

// Replaces every occurrence of `search` in `source`, exact and case-sensitive, from the left;
// the search goes on after each inserted replacement, so inserted text is never searched
// again. An empty source or search text gives the source unchanged.
std::u16string ReplaceText(std::u16string_view source, std::u16string_view search,
                           std::u16string_view replacement);

// Brings line breaks to CR LF: every LF that is not already preceded by CR gets one (LF to
// CR LF, then CR CR LF to CR LF). A lone CR stays.
std::u16string NormalizeLineBreaks(std::u16string_view text);

// GetString after GetDataArray(6, resName): `data` is the block's bytes, empty when
// GetDataArray yielded the empty variant; `resName` the caller's name (#n). Renders one line
// "i: text" CR LF per present string i of block n, in identifier order. Reported steps:
// taking the bytes (Err::TypeMismatch when empty); reading the block number from resName after its
// first character (Err::TypeMismatch when it is not a decimal number, Err::Overflow when it or the
// identifier range overflows 32 bits; the identifiers are then not walked); then one step per
// identifier (Err::SubscriptOutOfRange when its count or text runs past the bytes; that string is
// left out).
std::u16string GetString(Bytes data, std::u16string_view resName, StepRunner& steps);

}  // namespace orvex
