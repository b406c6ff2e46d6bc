// The loaded modules of one kind and the resource handles found in them. A module handle is
// `tag | generation << 16 | (slot + 1)`, so a freed handle stays invalid while its slot
// serves another module; a resource handle is `resourceTag | (entry + 1)`, one per module
// and resource (finding a resource again gives the same handle), forgotten with its module.
// Callers hold `mutex` around every call.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/win32_types.h"

namespace orvex {

template <class Module>
class ModuleTable {
 public:
  using Ptr = std::shared_ptr<Module>;

  struct Form {
    uint32_t tag;            // the bits of tagMask every module handle of this kind has
    uint32_t tagMask;        // the bits that tell this kind from others
    uint32_t maxGeneration;  // reuse counts run from 1 to this, in the bits from 16 up
    uint32_t maxModules;
    uint32_t resourceTag;  // added to every resource handle
    uint32_t maxResources;
  };

  // A resource handle's module handle and the entry it was found at.
  struct ResourceRef {
    HMODULE module;
    uint32_t entry;
  };

  explicit ModuleTable(const Form& form) : form_(form) {}

  std::mutex mutex;

  // The module behind `handle`, or null for a handle of another kind, a freed or a wrong one.
  Ptr Lookup(HMODULE handle) const {
    const uint32_t slotNumber = handle & 0xFFFF;
    if ((handle & form_.tagMask) != form_.tag || slotNumber == 0 || slotNumber > slots_.size())
      return nullptr;
    const Slot& slot = slots_[slotNumber - 1];
    if (slot.generation != ((handle & ~form_.tagMask) >> 16)) return nullptr;
    return slot.module;
  }

  // The new module's handle, or 0 when the table is full.
  HMODULE Add(Ptr module) {
    uint32_t index = 0;
    if (!freeSlots_.empty()) {
      index = freeSlots_.back();
      freeSlots_.pop_back();
    } else if (slots_.size() < form_.maxModules) {
      index = static_cast<uint32_t>(slots_.size());
      slots_.emplace_back();
    } else {
      return 0;
    }
    Slot& slot = slots_[index];
    slot.generation = slot.generation % form_.maxGeneration + 1;
    slot.module = std::move(module);
    ++live_;
    return form_.tag | (slot.generation << 16) | (index + 1);
  }

  // Takes the module out with its resource handles; null when `handle` names none.
  Ptr Remove(HMODULE handle) {
    if (!Lookup(handle)) return nullptr;
    const uint32_t index = (handle & 0xFFFF) - 1;
    Ptr module = std::move(slots_[index].module);
    freeSlots_.push_back(index);
    --live_;
    DropResources(handle);
    return module;
  }

  // Forgets every resource handle found in the module `handle` names.
  void DropResources(HMODULE handle) {
    const auto found = byModule_.find(handle);
    if (found == byModule_.end()) return;
    for (const uint32_t index : found->second) {
      resourceIndex_.erase(Key(handle, resources_[index].entry));
      resources_[index] = {};
      freeResources_.push_back(index);
    }
    byModule_.erase(found);
  }

  // The handle of the resource at `entry` of module `handle` (the one given before, if
  // any), or 0 when the table holds as many resources as it can.
  uint32_t ResourceHandle(HMODULE handle, uint32_t entry) {
    const uint64_t key = Key(handle, entry);
    if (auto it = resourceIndex_.find(key); it != resourceIndex_.end())
      return form_.resourceTag + it->second + 1;
    uint32_t index = 0;
    if (!freeResources_.empty()) {
      index = freeResources_.back();
      freeResources_.pop_back();
    } else if (resources_.size() < form_.maxResources) {
      index = static_cast<uint32_t>(resources_.size());
      resources_.emplace_back();
    } else {
      return 0;
    }
    resources_[index] = {handle, entry, true};
    resourceIndex_.emplace(key, index);
    byModule_[handle].push_back(index);
    return form_.resourceTag + index + 1;
  }

  // What a resource handle names, if it is one this table gave and its module is loaded.
  std::optional<ResourceRef> Resource(uint32_t handle) const {
    if (handle <= form_.resourceTag) return std::nullopt;
    const uint32_t index = handle - form_.resourceTag - 1;
    if (index >= resources_.size() || !resources_[index].live) return std::nullopt;
    return ResourceRef{resources_[index].module, resources_[index].entry};
  }

  bool Empty() const { return live_ == 0; }

  // Calls `visit(const Ptr&)` for every loaded module.
  template <class Visit>
  void ForEachModule(Visit&& visit) const {
    for (const Slot& slot : slots_)
      if (slot.module) visit(slot.module);
  }

 private:
  struct Slot {
    Ptr module;
    uint32_t generation = 0;
  };
  struct Entry {
    HMODULE module = 0;
    uint32_t entry = 0;
    bool live = false;
  };

  static uint64_t Key(HMODULE handle, uint32_t entry) { return (uint64_t{handle} << 32) | entry; }

  const Form form_;
  std::vector<Slot> slots_;
  std::vector<uint32_t> freeSlots_;
  size_t live_ = 0;
  std::vector<Entry> resources_;
  std::vector<uint32_t> freeResources_;
  std::unordered_map<uint64_t, uint32_t> resourceIndex_;
  std::unordered_map<HMODULE, std::vector<uint32_t>> byModule_;
};

}  // namespace orvex
