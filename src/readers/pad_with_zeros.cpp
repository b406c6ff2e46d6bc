#include "readers/pad_with_zeros.h"

#include "readers/reader_errors.h"

namespace orvex {

std::u16string PadWithZeros(std::u16string_view text, int32_t width) {
  if (width < 0) readers::ThrowInvalidArgument();
  const auto w = static_cast<size_t>(width);
  if (text.size() >= w) return std::u16string(text.substr(text.size() - w));
  std::u16string out(w - text.size(), u'0');
  out.append(text);
  return out;
}

}  // namespace orvex
