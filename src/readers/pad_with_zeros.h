// PadWithZeros: fixed-width text padded on the left with "0".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvex {

// The last `width` characters of `width` zeros followed by `text`: a shorter text is padded on
// the left with "0", a longer one keeps only its last `width` characters. A negative width
// throws Err::InvalidProcedureCall.
std::u16string PadWithZeros(std::u16string_view text, int32_t width);

}  // namespace orvex
