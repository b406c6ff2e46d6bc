// Memory for generated code that is never writable and executable at the same time: it is
// mapped writable, filled, then switched to read+execute before anything runs in it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "base/expected.h"

namespace orvex {

class ExecutableMemory {
 public:
  ExecutableMemory() = default;
  ExecutableMemory(const ExecutableMemory&) = delete;
  ExecutableMemory& operator=(const ExecutableMemory&) = delete;
  ExecutableMemory(ExecutableMemory&& other) noexcept;
  ExecutableMemory& operator=(ExecutableMemory&& other) noexcept;
  ~ExecutableMemory();

  // Makes at least `size` bytes writable (and not executable) and returns them. The mapping
  // is kept and reused while it is large enough; its address is page-aligned.
  Expected<std::span<uint8_t>> BeginWrite(size_t size);
  // Switches the bytes handed out by BeginWrite to read+execute; they must not be written
  // afterwards.
  Expected<void> Seal();

  uintptr_t Address() const { return reinterpret_cast<uintptr_t>(memory_); }
  size_t Capacity() const { return capacity_; }
  bool IsExecutable() const { return executable_; }

 private:
  void Release();

  void* memory_ = nullptr;
  size_t capacity_ = 0;
  bool executable_ = false;
};

}  // namespace orvex
