// The memory behind the stand-in's BSTRs and SAFEARRAY data. Large blocks (64 KiB and more)
// are kept for reuse after they are freed: a member that returns a whole resource allocates
// and frees a block of the same size on every call, and a block that goes back to the
// system each time costs a page fault per page on the next call. The cache is small and
// bounded (4 blocks, 32 MiB in all; a block over 16 MiB is never kept), a kept block is
// released as soon as a newer one needs its place, and the whole cache is released and the
// allocation retried when the system has no memory to give.
#pragma once

#include <cstddef>

namespace orvex::ole_detail {

// malloc, reusing a kept block that fits (not initialised).
void* AllocateBlock(size_t bytes);
// AllocateBlock filled with zero bytes (calloc).
void* AllocateZeroedBlock(size_t bytes);
// Resizes a block from these functions (realloc; never kept).
void* ReallocateBlock(void* block, size_t bytes);
// free, or keeps a large block for reuse; null is a no-op.
void FreeBlock(void* block);
// Releases every kept block to the system.
void ReleaseKeptBlocks();

}  // namespace orvex::ole_detail
