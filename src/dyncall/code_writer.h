// Writes machine code into a byte buffer whose byte 0 will sit at a known address, so that
// alignment and address-relative values can be computed while writing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace orvex {

class CodeWriter {
 public:
  CodeWriter(std::span<uint8_t> buffer, uint64_t baseAddress)
      : buffer_(buffer), baseAddress_(baseAddress) {}

  // Stores one byte and advances; writing past the buffer's end is Err::SubscriptOutOfRange.
  void EmitByte(uint8_t value);
  // A 32-bit value, little-endian.
  void EmitLong(uint32_t value);
  // A 64-bit value, little-endian.
  void EmitQuad(uint64_t value);
  // Fills with INT3 up to the first multiple of 16 strictly above the base address (1 to
  // 16 bytes, so a stray jump into the fill traps) and returns the new position.
  size_t AlignTo16();

  size_t Position() const { return position_; }
  uint64_t AddressOf(size_t offset) const { return baseAddress_ + offset; }

 private:
  std::span<uint8_t> buffer_;
  uint64_t baseAddress_;
  size_t position_ = 0;
};

}  // namespace orvex
