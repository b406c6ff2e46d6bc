#include "platform/module/low_scratch.h"

#include "platform/core/low_pages.h"

namespace orvex {

namespace {

// Room for 16 nested frames of the longest name (65535 characters plus terminator).
constexpr size_t kCapacity = size_t{1} << 20;

}  // namespace

LowScratch& LowScratch::ForThread() {
  thread_local LowScratch scratch;
  return scratch;
}

LowScratch::~LowScratch() {
  UnmapLowPages(base_, capacity_);
}

char* LowScratch::Allocate(size_t size) {
  if (base_ == nullptr) {
    if (failed_) return nullptr;
    void* mapped = MapLowPages(kCapacity);
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
