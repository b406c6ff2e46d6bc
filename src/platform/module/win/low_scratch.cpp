// The low scratch on the platform: pages reserved below 4 GB with VirtualAlloc at explicit
// addresses (where pointers are 32 bits wide, any allocation lies there).
#include "platform/module/low_scratch.h"

#include <cstdint>

#include "platform/core/win/windows_sdk.h"

namespace orvex {

namespace {

constexpr size_t kCapacity = size_t{1} << 20;
constexpr uintptr_t kLimit = uintptr_t{1} << 32;

void* AllocateLow(size_t size) {
  if constexpr (sizeof(void*) == 4)
    return ::VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  for (uintptr_t at = uintptr_t{1} << 28; at + size <= kLimit; at += uintptr_t{1} << 24) {
    void* low = ::VirtualAlloc(reinterpret_cast<void*>(at), size, MEM_RESERVE | MEM_COMMIT,
                               PAGE_READWRITE);
    if (low != nullptr) return low;
  }
  return nullptr;
}

}  // namespace

LowScratch& LowScratch::ForThread() {
  thread_local LowScratch scratch;
  return scratch;
}

LowScratch::~LowScratch() {
  if (base_ != nullptr) ::VirtualFree(base_, 0, MEM_RELEASE);
}

char* LowScratch::Allocate(size_t size) {
  if (base_ == nullptr) {
    if (failed_) return nullptr;
    base_ = static_cast<char*>(AllocateLow(kCapacity));
    if (base_ == nullptr) {
      failed_ = true;
      return nullptr;
    }
    capacity_ = kCapacity;
  }
  if (size > capacity_ - top_) return nullptr;
  char* out = base_ + top_;
  top_ += size;
  return out;
}

}  // namespace orvex
