// 32-bit handle values for the platform's pointer-sized handles (module handles, resource
// handles, loaded resources): where pointers are 32 bits the value is the pointer itself;
// where they are 64 bits each distinct pointer gets a small number of its own, kept for the
// life of the process (the same pointer always maps to the same value).
#pragma once

#include <cstdint>
#include <shared_mutex>
#include <unordered_map>
#include <vector>

namespace orvex::win {

class PointerHandles {
 public:
  // The value standing for `pointer`; 0 for null, and 0 when the table is full.
  uint32_t Intern(const void* pointer);
  // The pointer a value stands for; null for 0 and for values never handed out.
  void* Resolve(uint32_t handle) const;

 private:
  mutable std::shared_mutex mutex_;
  std::unordered_map<const void*, uint32_t> values_;
  std::vector<const void*> pointers_{nullptr};  // value 0 is null
};

// One table per kind, so a resource handle never passes for a module handle.
PointerHandles& ModuleHandles();
PointerHandles& ResourceHandles();
PointerHandles& LoadedResourceHandles();

}  // namespace orvex::win
