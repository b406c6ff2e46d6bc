// Buffers below 4 GB on the platform: VirtualAlloc at explicit low addresses (any
// allocation lies there where pointers are 32 bits wide).
#include "platform/user/low_memory.h"

#include <new>

#include "platform/core/win/windows_sdk.h"

namespace orvex {

LowBuffer::LowBuffer(size_t size) : size_(size) {
  mapped_ = size == 0 ? 1 : size;
  void* low = nullptr;
  if constexpr (sizeof(void*) == 4) {
    low = ::VirtualAlloc(nullptr, mapped_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  } else {
    for (uintptr_t at = uintptr_t{1} << 28; low == nullptr && at + mapped_ <= UINT32_MAX;
         at += uintptr_t{1} << 24)
      low = ::VirtualAlloc(reinterpret_cast<void*>(at), mapped_, MEM_RESERVE | MEM_COMMIT,
                           PAGE_READWRITE);
  }
  if (low == nullptr) throw std::bad_alloc();
  data_ = static_cast<char*>(low);
}

LowBuffer::~LowBuffer() {
  ::VirtualFree(data_, 0, MEM_RELEASE);
}

}  // namespace orvex
