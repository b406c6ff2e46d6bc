// Buffers whose addresses fit in 32 bits. Structures of the 32-bit platform carry
// pointers in 32-bit fields (MENUITEMINFOA's dwTypeData); on x86-64 the memory they
// point to must therefore lie in the low 4 GB.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orvex {

// A 32-bit pointer field: 0 or the address of memory below 4 GB.
template <class T>
struct Ptr32 {
  uint32_t value = 0;

  static Ptr32 Null() { return Ptr32{}; }
  // Null when `pointer` lies above 4 GB (such memory cannot be named by the field).
  static Ptr32 From(T* pointer) {
    auto address = reinterpret_cast<uintptr_t>(pointer);
    if (address > UINT32_MAX) return Ptr32{};
    return Ptr32{static_cast<uint32_t>(address)};
  }
  T* Get() const { return reinterpret_cast<T*>(static_cast<uintptr_t>(value)); }
  explicit operator bool() const { return value != 0; }
};
static_assert(sizeof(Ptr32<char>) == 4);

// A zero-filled buffer mapped below 4 GB, released when it goes.
class LowBuffer {
 public:
  explicit LowBuffer(size_t size);
  ~LowBuffer();
  LowBuffer(const LowBuffer&) = delete;
  LowBuffer& operator=(const LowBuffer&) = delete;

  char* Data() const { return data_; }
  size_t Size() const { return size_; }
  Ptr32<char> Address32() const { return Ptr32<char>::From(data_); }

 private:
  char* data_ = nullptr;
  size_t size_ = 0;
  size_t mapped_ = 0;
};

}  // namespace orvex
