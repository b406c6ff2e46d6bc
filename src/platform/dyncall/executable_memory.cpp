#include "platform/dyncall/executable_memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

namespace orvex {

namespace {

Error SystemError(const char* operation) {
  return Error{std::string(operation) + ": " + std::strerror(errno)};
}

}  // namespace

void ExecutableMemory::Release() {
  if (memory_ != nullptr) munmap(memory_, capacity_);
  memory_ = nullptr;
  capacity_ = 0;
  executable_ = false;
}

Expected<std::span<uint8_t>> ExecutableMemory::BeginWrite(size_t size) {
  const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  if (size == 0) size = 1;
  if (size > SIZE_MAX - page) return Error{"code buffer too large"};
  if (memory_ == nullptr || size > capacity_) {
    Release();
    size_t rounded = (size + page - 1) / page * page;
    void* memory =
        mmap(nullptr, rounded, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) return SystemError("mmap");
    memory_ = memory;
    capacity_ = rounded;
  } else if (executable_) {
    if (mprotect(memory_, capacity_, PROT_READ | PROT_WRITE) != 0) return SystemError("mprotect");
  }
  executable_ = false;
  return std::span<uint8_t>(static_cast<uint8_t*>(memory_), capacity_);
}

Expected<void> ExecutableMemory::Seal() {
  if (memory_ == nullptr) return Error{"no code to seal"};
  if (!executable_) {
    if (mprotect(memory_, capacity_, PROT_READ | PROT_EXEC) != 0) return SystemError("mprotect");
    executable_ = true;
  }
  return {};
}

}  // namespace orvex
