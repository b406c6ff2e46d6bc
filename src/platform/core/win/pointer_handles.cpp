#include "platform/core/win/pointer_handles.h"

namespace orvex::win {

namespace {

// The last pointer each thread interned, per table: callers tend to ask for the same
// module and resource again (every resource call names the module).
struct LastInterned {
  const PointerHandles* table = nullptr;
  const void* pointer = nullptr;
  uint32_t value = 0;
};
thread_local LastInterned lastInterned[3];

}  // namespace

uint32_t PointerHandles::Intern(const void* pointer) {
  if (pointer == nullptr) return 0;
  if constexpr (sizeof(void*) == 4)
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer));
  for (const LastInterned& last : lastInterned)
    if (last.table == this && last.pointer == pointer) return last.value;
  uint32_t value = 0;
  {
    std::lock_guard lock(mutex_);
    if (auto it = values_.find(pointer); it != values_.end()) {
      value = it->second;
    } else {
      if (next_ >= kChunks * kChunkSize) return 0;
      value = next_++;
      Chunk* chunk = chunks_[value >> kChunkBits].load(std::memory_order_relaxed);
      if (chunk == nullptr) {
        chunk = new Chunk{};  // kept for the life of the process
        chunks_[value >> kChunkBits].store(chunk, std::memory_order_release);
      }
      (*chunk)[value & (kChunkSize - 1)].store(pointer, std::memory_order_release);
      values_.emplace(pointer, value);
    }
  }
  // Remember it in the slot of this table, or in the first free one.
  LastInterned* slot = &lastInterned[0];
  for (LastInterned& last : lastInterned) {
    if (last.table == this || last.table == nullptr) {
      slot = &last;
      break;
    }
  }
  *slot = LastInterned{this, pointer, value};
  return value;
}

void* PointerHandles::Resolve(uint32_t handle) const {
  if constexpr (sizeof(void*) == 4) return reinterpret_cast<void*>(static_cast<uintptr_t>(handle));
  if ((handle >> kChunkBits) >= kChunks) return nullptr;
  const Chunk* chunk = chunks_[handle >> kChunkBits].load(std::memory_order_acquire);
  if (chunk == nullptr) return nullptr;
  return const_cast<void*>((*chunk)[handle & (kChunkSize - 1)].load(std::memory_order_acquire));
}

// Leaked on purpose: objects and thread state may use handles during process exit.
PointerHandles& ModuleHandles() {
  static auto* handles = new PointerHandles;
  return *handles;
}
PointerHandles& ResourceHandles() {
  static auto* handles = new PointerHandles;
  return *handles;
}
PointerHandles& LoadedResourceHandles() {
  static auto* handles = new PointerHandles;
  return *handles;
}

}  // namespace orvex::win
