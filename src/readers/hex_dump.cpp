#include "readers/hex_dump.h"

#include <algorithm>

#include "readers/reader_errors.h"

namespace orvex {

std::optional<size_t> ReserveHexDump(Bytes data, StepRunner& steps) {
  steps([&] { readers::RequireBytes(data.size()); });
  size_t length = 0;
  const bool reserved = steps([&] {
    if (data.empty()) readers::ThrowSubscriptOutOfRange();  // no upper bound to count from
    length = HexDumpLength(data.size());
  });
  if (!reserved) return std::nullopt;
  return length;
}

void WriteHexDump(Bytes data, size_t length, char16_t* out) {
  // A reservation past the limit is returned as it stands: blanks only.
  if (length > kHexDumpMaxLength) {
    std::fill_n(out, length, u' ');
    return;
  }
  // Rendering sound bytes cannot fail, so there is nothing to report from here on.
  RenderHexDumpInto(data, 0, out);
}

std::u16string GetHexDump(Bytes data, StepRunner& steps) {
  const std::optional<size_t> length = ReserveHexDump(data, steps);
  if (!length) return {};
  std::u16string text(*length, u'\0');
  WriteHexDump(data, *length, text.data());
  return text;
}

}  // namespace orvex
