// Moving and destroying ExecutableMemory, the same on both backends (each backend maps,
// protects and releases the pages in its own executable_memory.cpp).
#include <utility>

#include "platform/dyncall/executable_memory.h"

namespace orvex {

ExecutableMemory::ExecutableMemory(ExecutableMemory&& other) noexcept
    : memory_(std::exchange(other.memory_, nullptr)),
      capacity_(std::exchange(other.capacity_, 0)),
      executable_(std::exchange(other.executable_, false)) {}

ExecutableMemory& ExecutableMemory::operator=(ExecutableMemory&& other) noexcept {
  if (this != &other) {
    Release();
    memory_ = std::exchange(other.memory_, nullptr);
    capacity_ = std::exchange(other.capacity_, 0);
    executable_ = std::exchange(other.executable_, false);
  }
  return *this;
}

ExecutableMemory::~ExecutableMemory() {
  Release();
}

}  // namespace orvex
