// PNG images inside icon resources and picture files: our own signature and header checks,
// then libpng decoding from memory to 32-bit BGRA with straight alpha.
#pragma once

#include <cstdint>

#include "base/byte_reader.h"
#include "base/expected.h"
#include "platform/gdi/image.h"

namespace orvex {

// Whether the bytes start with the PNG signature.
bool IsPng(Bytes bytes);
struct PngSize {
  uint32_t width = 0;
  uint32_t height = 0;
};
// The size its header (the first chunk, IHDR) gives; errors for a bad signature or header.
Expected<PngSize> ReadPngSize(Bytes bytes);
// Decodes a whole PNG; errors for a bad signature or header, a size past the decoder's
// limit, or damaged data.
Expected<Pixels> DecodePng(Bytes bytes);

}  // namespace orvex
