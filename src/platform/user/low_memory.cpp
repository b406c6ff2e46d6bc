#include "platform/user/low_memory.h"

#include <sys/mman.h>

#include <new>

namespace orvex {

LowBuffer::LowBuffer(size_t size) : size_(size) {
  mapped_ = size == 0 ? 1 : size;
  int flags = MAP_PRIVATE | MAP_ANONYMOUS;
#ifdef MAP_32BIT
  flags |= MAP_32BIT;  // x86-64: the first 2 GB
  void* mapping = mmap(nullptr, mapped_, PROT_READ | PROT_WRITE, flags, -1, 0);
#else
  // Elsewhere: ask for a low address and check what we got.
  void* mapping =
      mmap(reinterpret_cast<void*>(0x10000000), mapped_, PROT_READ | PROT_WRITE, flags, -1, 0);
#endif
  if (mapping == MAP_FAILED) throw std::bad_alloc();
  if (reinterpret_cast<uintptr_t>(mapping) + mapped_ > UINT32_MAX) {
    munmap(mapping, mapped_);
    throw std::bad_alloc();
  }
  data_ = static_cast<char*>(mapping);
}

LowBuffer::~LowBuffer() {
  munmap(data_, mapped_);
}

}  // namespace orvex
