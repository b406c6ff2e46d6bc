// A per-kind table of 32-bit handles, formed as the platform forms its object handles.
// Graphics objects (and this system's windows): the low word indexes the table, the next
// byte names the kind (so a bitmap handle is never taken for an icon or a window), the top
// byte counts the reuses of the entry. Menus, as the window manager forms its handles: the
// low word indexes the table, the high word counts the reuses from 1. A destroyed handle
// stays invalid while its entry serves other objects; 0 is never a handle.
//
// Objects are held by shared_ptr: a caller that found an object keeps it alive even when
// another thread removes its handle meanwhile.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace orvex {

// Kind bytes of the tables (bits 16-23 of a handle).
enum class HandleKind : uint8_t {
  Bitmap = 0x05,
  Icon = 0x0B,
  DeviceContext = 0x01,
  Font = 0x0A,
  Window = 0x20,
  Metafile = 0x26,
  Menu = 0x00,  // the window manager's form: no kind byte
};

template <typename T>
class HandleTable {
 public:
  static constexpr uint32_t kMaxLive = 0xFFFF;

  explicit HandleTable(HandleKind kind) : kind_(static_cast<uint32_t>(kind)) {}

  // The new handle of `object`, or 0 when the table holds kMaxLive objects already.
  uint32_t Add(std::shared_ptr<T> object) {
    std::lock_guard lock(mutex_);
    uint32_t index;
    if (!free_.empty()) {
      index = free_.back();
      free_.pop_back();
    } else {
      if (slots_.size() > kMaxLive) return 0;
      if (slots_.empty()) slots_.emplace_back();  // index 0 is never handed out
      index = static_cast<uint32_t>(slots_.size());
      slots_.emplace_back();
      if (WindowManagerForm()) slots_.back().uniq = 1;
    }
    Slot& slot = slots_[index];
    slot.object = std::move(object);
    ++live_;
    if (WindowManagerForm()) return index | (static_cast<uint32_t>(slot.uniq) << 16);
    return index | (kind_ << 16) | (static_cast<uint32_t>(slot.uniq) << 24);
  }

  // The object `handle` names, or null for 0, a handle of another kind or a stale handle.
  std::shared_ptr<T> Find(uint32_t handle) const {
    std::lock_guard lock(mutex_);
    const Slot* slot = SlotOf(handle);
    return slot ? slot->object : nullptr;
  }

  // Removes `handle` and returns its object (null when it names none).
  std::shared_ptr<T> Remove(uint32_t handle) {
    std::lock_guard lock(mutex_);
    Slot* slot = const_cast<Slot*>(SlotOf(handle));
    if (!slot) return nullptr;
    std::shared_ptr<T> object = std::move(slot->object);
    slot->object.reset();
    if (WindowManagerForm()) {
      slot->uniq = slot->uniq == 0xFFFF ? 1 : static_cast<uint16_t>(slot->uniq + 1);
    } else {
      slot->uniq = static_cast<uint8_t>(slot->uniq + 1);
    }
    free_.push_back(handle & 0xFFFF);
    --live_;
    return object;
  }

  size_t LiveCount() const {
    std::lock_guard lock(mutex_);
    return live_;
  }

 private:
  struct Slot {
    std::shared_ptr<T> object;
    uint16_t uniq = 0;
  };

  bool WindowManagerForm() const { return kind_ == 0; }

  const Slot* SlotOf(uint32_t handle) const {
    const uint32_t index = handle & 0xFFFF;
    if (index == 0 || index >= slots_.size()) return nullptr;
    const Slot& slot = slots_[index];
    if (!slot.object) return nullptr;
    if (WindowManagerForm()) return slot.uniq == handle >> 16 ? &slot : nullptr;
    if (((handle >> 16) & 0xFF) != kind_ || slot.uniq != handle >> 24) return nullptr;
    return &slot;
  }

  const uint32_t kind_;
  mutable std::mutex mutex_;
  std::vector<Slot> slots_;
  std::vector<uint32_t> free_;
  size_t live_ = 0;
};

}  // namespace orvex
