// Pages whose addresses fit in 32 bits (above 0xFFFF, below 4 GB), for the structures and
// identifiers of the 32-bit platform that carry pointers in 32-bit fields. Each backend
// asks its own system for them.
#pragma once

#include <cstddef>

namespace orvex {

// `size` bytes of zero-filled, read-write pages below 4 GB, or null when none are to be had.
void* MapLowPages(size_t size);
// Releases pages MapLowPages gave (the same size).
void UnmapLowPages(void* pages, size_t size);

}  // namespace orvex
