#include "server/hex_dump_lines.h"

#include "readers/hex_dump.h"

namespace orvex {

const size_t kGetHexDumpMaxBytes = kHexDumpMaxBytes;
const size_t kHexDumpLineBytes = kHexDumpBytesPerLine;

std::u16string RenderHexDumpLines(Bytes data, size_t firstOffset) {
  return RenderHexDump(data, firstOffset);
}

}  // namespace orvex
