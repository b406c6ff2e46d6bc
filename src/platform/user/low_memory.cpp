#include "platform/user/low_memory.h"

#include <new>

#include "platform/core/low_pages.h"

namespace orvex {

LowBuffer::LowBuffer(size_t size) : size_(size) {
  mapped_ = size == 0 ? 1 : size;
  data_ = static_cast<char*>(MapLowPages(mapped_));
  if (data_ == nullptr) throw std::bad_alloc();
}

LowBuffer::~LowBuffer() {
  UnmapLowPages(data_, mapped_);
}

}  // namespace orvex
