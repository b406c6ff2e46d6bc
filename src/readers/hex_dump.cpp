#include "readers/hex_dump.h"

#include <algorithm>

#include "readers/reader_errors.h"

namespace orvex {
namespace {

// `count` blanks. Copied from a ready block: filling UTF-16 text one unit at a time would
// cost more than rendering the dump.
std::u16string Blanks(size_t count) {
  static const std::u16string block(16384, u' ');
  std::u16string out;
  out.reserve(count);
  while (out.size() < count) out.append(block, 0, std::min(block.size(), count - out.size()));
  return out;
}

}  // namespace

std::u16string GetHexDump(Bytes data, StepRunner& steps) {
  steps([&] { readers::RequireBytes(data.size()); });
  size_t length = 0;
  const bool reserved = steps([&] {
    if (data.empty()) readers::ThrowSubscriptOutOfRange();  // no upper bound to count from
    length = HexDumpLength(data.size());
  });
  if (!reserved) return {};
  // A reservation past the limit is returned as it stands: blanks only.
  if (length > kHexDumpMaxLength) return Blanks(length);
  // From here on a failure is skipped without a report; rendering sound bytes cannot fail.
  return RenderHexDump(data, 0);
}

}  // namespace orvex
