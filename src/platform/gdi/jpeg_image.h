// JPEG pictures: our own check of the start marker, then libjpeg-turbo decoding from
// memory into BGRA (opaque), with the size checked before any pixel memory is taken.
#pragma once

#include "base/byte_reader.h"
#include "base/expected.h"
#include "platform/gdi/image.h"

namespace orvex {

bool IsJpeg(Bytes bytes);
Expected<Pixels> DecodeJpeg(Bytes bytes);

}  // namespace orvex
