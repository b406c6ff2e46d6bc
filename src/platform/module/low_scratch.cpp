#include "platform/module/low_scratch.h"

#include <sys/mman.h>

#include <cstdint>

namespace orvex {

namespace {

// Room for 16 nested frames of the longest name (65535 characters plus terminator).
constexpr size_t kCapacity = size_t{1} << 20;
constexpr uintptr_t kLimit = uintptr_t{1} << 32;

void* MapLow(size_t size) {
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

}  // namespace

LowScratch& LowScratch::ForThread() {
  thread_local LowScratch scratch;
  return scratch;
}

LowScratch::~LowScratch() {
  if (base_ != nullptr) munmap(base_, capacity_);
}

char* LowScratch::Allocate(size_t size) {
  if (base_ == nullptr) {
    if (failed_) return nullptr;
    void* mapped = MapLow(kCapacity);
    if (mapped == nullptr) {
      failed_ = true;
      return nullptr;
    }
    base_ = static_cast<char*>(mapped);
    capacity_ = kCapacity;
  }
  if (size > capacity_ - top_) return nullptr;
  char* out = base_ + top_;
  top_ += size;
  return out;
}

}  // namespace orvex
