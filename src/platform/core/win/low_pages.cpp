// Low pages on the platform: VirtualAlloc at explicit addresses below 4 GB (where pointers
// are 32 bits wide, any allocation lies there).
#include "platform/core/low_pages.h"

#include <cstdint>

#include "platform/core/win/windows_sdk.h"

namespace orvex {

void* MapLowPages(size_t size) {
  if constexpr (sizeof(void*) == 4)
    return ::VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  // 64-bit arithmetic: this loop is compiled, not run, where pointers are 32 bits wide.
  constexpr uint64_t kLimit = uint64_t{1} << 32;
  for (uint64_t at = uint64_t{1} << 28; at + size <= kLimit; at += uint64_t{1} << 24) {
    void* low = ::VirtualAlloc(reinterpret_cast<void*>(static_cast<uintptr_t>(at)), size,
                               MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (low != nullptr) return low;
  }
  return nullptr;
}

void UnmapLowPages(void* pages, size_t /*size*/) {
  if (pages != nullptr) ::VirtualFree(pages, 0, MEM_RELEASE);
}

}  // namespace orvex
