// The hex dump's lines, as GetHexDump renders them and as hosts render a long resource a
// block at a time: 79-character lines of offset, 16 hexadecimal byte columns and 16
// character columns, each line ending in CR LF.
#pragma once

#include <cstddef>
#include <string>

#include "base/byte_reader.h"

namespace orvex {

inline constexpr size_t kHexDumpLineLength = 79;
inline constexpr size_t kHexDumpBytesPerLine = 16;
// The longest text the dump renders; a longer reservation is returned as blanks.
inline constexpr size_t kHexDumpMaxLength = 65534;
// The largest resource whose dump GetHexDump renders: 829 lines, 65491 characters.
inline constexpr size_t kHexDumpMaxBytes = 13264;

// The characters the dump of `size` bytes reserves: 79 per started line of 16 bytes.
constexpr size_t HexDumpLength(size_t size) {
  return size == 0 ? 0 : ((size - 1) / kHexDumpBytesPerLine + 1) * kHexDumpLineLength;
}

// Renders every byte of `data` into the dump text, the first line labelled `firstOffset`
// (GetHexDump starts at 0; a host that renders a long resource a block at a time passes the
// block's offset). No length limit is applied. Empty data gives the empty text.
std::u16string RenderHexDump(Bytes data, size_t firstOffset = 0);
// RenderHexDump written in place at `out`, which holds HexDumpLength(data.size()) units (a
// string the caller allocated at that length, so that the text is rendered once).
void RenderHexDumpInto(Bytes data, size_t firstOffset, char16_t* out);

}  // namespace orvex
