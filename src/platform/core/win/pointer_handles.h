// 32-bit handle values for the platform's pointer-sized handles (module handles, resource
// handles, loaded resources): where pointers are 32 bits the value is the pointer itself;
// where they are 64 bits each distinct pointer gets a small number of its own, kept for the
// life of the process (the same pointer always maps to the same value).
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <unordered_map>

namespace orvex::win {

class PointerHandles {
 public:
  // The value standing for `pointer`; 0 for null, and 0 when the table is full.
  uint32_t Intern(const void* pointer);
  // The pointer a value stands for; null for 0 and for values never handed out.
  void* Resolve(uint32_t handle) const;

 private:
  // Values are handed out in order and never taken back, so readers find a value's pointer
  // without a lock: chunks of slots are made once and published before their values are.
  static constexpr uint32_t kChunkBits = 12;
  static constexpr uint32_t kChunkSize = uint32_t{1} << kChunkBits;
  static constexpr uint32_t kChunks = 4096;  // 16 M values
  using Chunk = std::array<std::atomic<const void*>, kChunkSize>;

  std::mutex mutex_;  // for handing out values
  std::unordered_map<const void*, uint32_t> values_;
  uint32_t next_ = 1;  // value 0 is null
  std::array<std::atomic<Chunk*>, kChunks> chunks_{};
};

// One table per kind, so a resource handle never passes for a module handle.
PointerHandles& ModuleHandles();
PointerHandles& ResourceHandles();
PointerHandles& LoadedResourceHandles();

}  // namespace orvex::win
