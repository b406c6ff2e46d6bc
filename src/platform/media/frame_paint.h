// Draws a decoded frame into a window's paint context.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <optional>

#include "platform/gdi/image.h"
#include "platform/win32_types.h"

namespace orvex {

// Draws `frame` into `destination` (stretched, nearest pixel, when the sizes differ).
// Pixels of colour `transparent` (0x00RRGGBB) are left undrawn.
void PaintFrame(cairo_t* cr, const Pixels& frame, const RECT& destination,
                std::optional<uint32_t> transparent = std::nullopt);

}  // namespace orvex
