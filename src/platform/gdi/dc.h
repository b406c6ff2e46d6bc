// Device contexts of the stand-in: a handle over a cairo context that a window paint or a
// capture sets up (origin and clip already applied to the context). Drawing functions take
// the handle as the platform's do.
#pragma once

#include <cairo.h>

#include "platform/gdi/gdi.h"
#include "platform/win32_types.h"

namespace orvex {

// A handle for drawing into `context` (a reference is taken); 0 when the table is full.
HDC CreateDCForCairo(cairo_t* context);
// The context behind `dc`, or null. Valid until DeleteDC.
cairo_t* CairoOfDC(HDC dc);

}  // namespace orvex
