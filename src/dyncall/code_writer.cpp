#include "dyncall/code_writer.h"

#include "base/runtime_error.h"

namespace orvex {

void CodeWriter::EmitByte(uint8_t value) {
  if (position_ >= buffer_.size()) throw RuntimeError(Err::SubscriptOutOfRange);
  buffer_[position_++] = value;
}

void CodeWriter::EmitLong(uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) EmitByte(static_cast<uint8_t>(value >> shift));
}

void CodeWriter::EmitQuad(uint64_t value) {
  EmitLong(static_cast<uint32_t>(value));
  EmitLong(static_cast<uint32_t>(value >> 32));
}

size_t CodeWriter::AlignTo16() {
  const size_t fill = 16 - static_cast<size_t>(baseAddress_ % 16);
  for (size_t i = 0; i < fill; ++i) EmitByte(0xCC);
  return position_;
}

}  // namespace orvex
