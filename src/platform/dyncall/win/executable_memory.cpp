// Memory for generated code on the platform: committed read+write with VirtualAlloc,
// switched to read+execute with VirtualProtect before it runs (never both at once).
#include "platform/dyncall/executable_memory.h"

#include <string>
#include <utility>

#include "platform/core/win/windows_sdk.h"

namespace orvex {

namespace {

Error SystemError(const char* operation) {
  return Error{::GetLastError(), std::string(operation) + " failed"};
}

}  // namespace

void ExecutableMemory::Release() {
  if (memory_ != nullptr) ::VirtualFree(memory_, 0, MEM_RELEASE);
  memory_ = nullptr;
  capacity_ = 0;
  executable_ = false;
}

Expected<std::span<uint8_t>> ExecutableMemory::BeginWrite(size_t size) {
  ::SYSTEM_INFO system{};
  ::GetSystemInfo(&system);
  const size_t page = system.dwPageSize;
  if (size == 0) size = 1;
  if (size > SIZE_MAX - page) return Error{"code buffer too large"};
  if (memory_ == nullptr || size > capacity_) {
    Release();
    const size_t rounded = (size + page - 1) / page * page;
    void* memory = ::VirtualAlloc(nullptr, rounded, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (memory == nullptr) return SystemError("VirtualAlloc");
    memory_ = memory;
    capacity_ = rounded;
  } else if (executable_) {
    ::DWORD previous = 0;
    if (!::VirtualProtect(memory_, capacity_, PAGE_READWRITE, &previous))
      return SystemError("VirtualProtect");
  }
  executable_ = false;
  return std::span<uint8_t>(static_cast<uint8_t*>(memory_), capacity_);
}

Expected<void> ExecutableMemory::Seal() {
  if (memory_ == nullptr) return Error{"no code to seal"};
  if (!executable_) {
    ::DWORD previous = 0;
    if (!::VirtualProtect(memory_, capacity_, PAGE_EXECUTE_READ, &previous))
      return SystemError("VirtualProtect");
    ::FlushInstructionCache(::GetCurrentProcess(), memory_, capacity_);
    executable_ = true;
  }
  return {};
}

}  // namespace orvex
