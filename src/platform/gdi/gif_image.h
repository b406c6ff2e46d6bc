// GIF pictures: our own check of the signature and screen size, then giflib reading the
// first image from memory onto the logical screen (transparent pixels get alpha 0).
#pragma once

#include "base/byte_reader.h"
#include "base/expected.h"
#include "platform/gdi/image.h"

namespace orvex {

bool IsGif(Bytes bytes);
Expected<Pixels> DecodeGif(Bytes bytes);

}  // namespace orvex
