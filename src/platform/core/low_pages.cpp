#include "platform/core/low_pages.h"

#include <sys/mman.h>

#include <cstdint>

namespace orvex {

namespace {
constexpr uintptr_t kLimit = uintptr_t{1} << 32;
}  // namespace

void* MapLowPages(size_t size) {
  int flags = MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE;
#if defined(MAP_32BIT)
  void* low = mmap(nullptr, size, PROT_READ | PROT_WRITE, flags | MAP_32BIT, -1, 0);
  if (low != MAP_FAILED && reinterpret_cast<uintptr_t>(low) > 0xFFFF) return low;
  if (low != MAP_FAILED) munmap(low, size);
#endif
  // Elsewhere: ask for addresses below 4 GB by hint and keep only what lands there.
  for (uintptr_t hint = uintptr_t{1} << 28; hint + size <= kLimit; hint += uintptr_t{1} << 28) {
    void* at = mmap(reinterpret_cast<void*>(hint), size, PROT_READ | PROT_WRITE, flags, -1, 0);
    if (at == MAP_FAILED) continue;
    if (reinterpret_cast<uintptr_t>(at) + size <= kLimit) return at;
    munmap(at, size);
  }
  return nullptr;
}

void UnmapLowPages(void* pages, size_t size) {
  if (pages != nullptr) munmap(pages, size);
}

}  // namespace orvex
