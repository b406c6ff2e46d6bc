#include "platform/ole/large_blocks.h"

#include <malloc.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <utility>

namespace orvex::ole_detail {
namespace {

constexpr size_t kLargeBlock = size_t{64} << 10;
constexpr size_t kLargestKept = size_t{16} << 20;
constexpr size_t kKeptBytes = size_t{32} << 20;
constexpr size_t kKeptBlocks = 4;

struct Kept {
  void* block = nullptr;
  size_t size = 0;  // malloc_usable_size
  unsigned long age = 0;
};

class Cache {
 public:
  // A kept block of at least `bytes` and at most a quarter more (so that a small request
  // does not hold a large block), the tightest such; null when none.
  void* Take(size_t bytes) {
    std::lock_guard lock(mutex_);
    size_t best = kKeptBlocks;
    for (size_t i = 0; i < kKeptBlocks; ++i) {
      const Kept& k = kept_[i];
      if (k.block == nullptr || k.size < bytes || k.size - bytes > bytes / 4) continue;
      if (best == kKeptBlocks || k.size < kept_[best].size) best = i;
    }
    if (best == kKeptBlocks) return nullptr;
    total_ -= kept_[best].size;
    return std::exchange(kept_[best], Kept{}).block;
  }

  // Keeps `block` of `size` usable bytes, releasing the oldest kept blocks to make room;
  // false when it is not to be kept.
  bool Keep(void* block, size_t size) {
    if (size < kLargeBlock || size > kLargestKept) return false;
    std::array<void*, kKeptBlocks> released{};
    bool kept = false;
    {
      std::lock_guard lock(mutex_);
      for (;;) {
        size_t freeSlot = kKeptBlocks;
        size_t oldest = kKeptBlocks;
        for (size_t i = 0; i < kKeptBlocks; ++i) {
          if (kept_[i].block == nullptr) {
            freeSlot = i;
          } else if (oldest == kKeptBlocks || kept_[i].age < kept_[oldest].age) {
            oldest = i;
          }
        }
        if (freeSlot < kKeptBlocks && total_ + size <= kKeptBytes) {
          kept_[freeSlot] = {block, size, ++clock_};
          total_ += size;
          kept = true;
          break;
        }
        if (oldest == kKeptBlocks) break;
        total_ -= kept_[oldest].size;
        released[oldest] = std::exchange(kept_[oldest], Kept{}).block;
      }
    }
    for (void* old : released) std::free(old);
    return kept;
  }

  void ReleaseAll() {
    std::array<Kept, kKeptBlocks> all;
    {
      std::lock_guard lock(mutex_);
      all = std::exchange(kept_, {});
      total_ = 0;
    }
    for (const Kept& k : all) std::free(k.block);
  }

 private:
  std::mutex mutex_;
  std::array<Kept, kKeptBlocks> kept_{};
  size_t total_ = 0;
  unsigned long clock_ = 0;
};

// Never destroyed: blocks may be freed by static destructors after this one would run.
Cache& TheCache() {
  static Cache* cache = new Cache();
  return *cache;
}

// `allocate()` once more after releasing the kept blocks when it fails.
template <class F>
void* WithRetry(F allocate) {
  void* block = allocate();
  if (block == nullptr) {
    TheCache().ReleaseAll();
    block = allocate();
  }
  return block;
}

}  // namespace

void* AllocateBlock(size_t bytes) {
  if (bytes >= kLargeBlock) {
    if (void* kept = TheCache().Take(bytes)) return kept;
  }
  return WithRetry([&] { return std::malloc(bytes); });
}

void* AllocateZeroedBlock(size_t bytes) {
  if (bytes >= kLargeBlock) {
    if (void* kept = TheCache().Take(bytes)) return std::memset(kept, 0, bytes);
  }
  // calloc knows when fresh pages are zero already.
  return WithRetry([&] { return std::calloc(1, bytes); });
}

void* ReallocateBlock(void* block, size_t bytes) {
  return WithRetry([&] { return std::realloc(block, bytes); });
}

void FreeBlock(void* block) {
  if (block == nullptr) return;
  if (!TheCache().Keep(block, malloc_usable_size(block))) std::free(block);
}

void ReleaseKeptBlocks() {
  TheCache().ReleaseAll();
}

}  // namespace orvex::ole_detail
