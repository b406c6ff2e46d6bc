#include "platform/core/win/pointer_handles.h"

#include <mutex>

namespace orvex::win {

uint32_t PointerHandles::Intern(const void* pointer) {
  if (pointer == nullptr) return 0;
  if constexpr (sizeof(void*) == 4)
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer));
  {
    std::shared_lock lock(mutex_);
    if (auto it = values_.find(pointer); it != values_.end()) return it->second;
  }
  std::unique_lock lock(mutex_);
  if (auto it = values_.find(pointer); it != values_.end()) return it->second;
  if (pointers_.size() >= 0x7FFFFFFF) return 0;
  const auto value = static_cast<uint32_t>(pointers_.size());
  pointers_.push_back(pointer);
  values_.emplace(pointer, value);
  return value;
}

void* PointerHandles::Resolve(uint32_t handle) const {
  if constexpr (sizeof(void*) == 4) return reinterpret_cast<void*>(static_cast<uintptr_t>(handle));
  std::shared_lock lock(mutex_);
  if (handle >= pointers_.size()) return nullptr;
  return const_cast<void*>(pointers_[handle]);
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
