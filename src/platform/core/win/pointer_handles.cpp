#include "platform/core/win/pointer_handles.h"

#include <mutex>
#include <unordered_map>
#include <vector>

namespace orvex::win {

namespace {

struct Table {
  std::mutex mutex;
  std::unordered_map<const void*, uint32_t> values;
  std::vector<const void*> pointers{nullptr};  // value 0 is null
};

// The table of each PointerHandles object, without a member the header would have to name.
Table& TableOf(const PointerHandles* owner) {
  static std::mutex mutex;
  static std::unordered_map<const PointerHandles*, Table> tables;
  std::lock_guard lock(mutex);
  return tables[owner];
}

}  // namespace

uint32_t PointerHandles::Intern(const void* pointer) {
  if (pointer == nullptr) return 0;
  if constexpr (sizeof(void*) == 4) return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer));
  Table& table = TableOf(this);
  std::lock_guard lock(table.mutex);
  if (auto it = table.values.find(pointer); it != table.values.end()) return it->second;
  if (table.pointers.size() >= 0x7FFFFFFF) return 0;
  const auto value = static_cast<uint32_t>(table.pointers.size());
  table.pointers.push_back(pointer);
  table.values.emplace(pointer, value);
  return value;
}

void* PointerHandles::Resolve(uint32_t handle) const {
  if constexpr (sizeof(void*) == 4) return reinterpret_cast<void*>(static_cast<uintptr_t>(handle));
  Table& table = TableOf(this);
  std::lock_guard lock(table.mutex);
  if (handle >= table.pointers.size()) return nullptr;
  return const_cast<void*>(table.pointers[handle]);
}

PointerHandles& ModuleHandles() {
  static PointerHandles handles;
  return handles;
}
PointerHandles& ResourceHandles() {
  static PointerHandles handles;
  return handles;
}
PointerHandles& LoadedResourceHandles() {
  static PointerHandles handles;
  return handles;
}

}  // namespace orvex::win
