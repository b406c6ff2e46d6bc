// The one bounds-checked reader over file bytes. Every read can fail and says so; no
// parser does pointer arithmetic on file data outside this class.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <type_traits>

#include "base/expected.h"

namespace orvex {

using Bytes = std::span<const std::byte>;

inline Bytes AsBytes(const void* data, size_t size) {
  return Bytes(static_cast<const std::byte*>(data), size);
}

class ByteReader {
 public:
  explicit ByteReader(Bytes data) : data_(data) {}

  size_t Size() const { return data_.size(); }
  size_t Position() const { return pos_; }
  size_t Remaining() const { return data_.size() - pos_; }
  bool AtEnd() const { return pos_ >= data_.size(); }
  Bytes Data() const { return data_; }

  Expected<void> Seek(size_t offset) {
    if (offset > data_.size())
      return Error{"offset " + std::to_string(offset) + " is past the end"};
    pos_ = offset;
    return {};
  }

  Expected<void> Skip(size_t count) {
    if (count > Remaining())
      return Error{"skip of " + std::to_string(count) + " bytes runs past the end"};
    pos_ += count;
    return {};
  }

  // Advances to the next multiple of `alignment` (relative to the start), or to the end
  // when the padding runs past it: formats that pad to alignment often omit trailing pads.
  void AlignTo(size_t alignment) {
    size_t aligned = (pos_ + alignment - 1) / alignment * alignment;
    pos_ = aligned > data_.size() ? data_.size() : aligned;
  }

  // Reads a trivially copyable little-endian value (the host is little-endian).
  template <class T>
  Expected<T> Read() {
    static_assert(std::is_trivially_copyable_v<T>);
    if (sizeof(T) > Remaining())
      return Error{"read of " + std::to_string(sizeof(T)) + " bytes at offset " +
                   std::to_string(pos_) + " runs past the end"};
    T value;
    std::memcpy(&value, data_.data() + pos_, sizeof(T));
    pos_ += sizeof(T);
    return value;
  }

  // Read<T> for loops over many small fields: false, and nothing read, instead of an error
  // text the caller would only replace with its own.
  template <class T>
  bool TryRead(T& value) {
    static_assert(std::is_trivially_copyable_v<T>);
    if (sizeof(T) > Remaining()) return false;
    std::memcpy(&value, data_.data() + pos_, sizeof(T));
    pos_ += sizeof(T);
    return true;
  }

  // Reads a value at an absolute offset without moving.
  template <class T>
  Expected<T> ReadAt(size_t offset) const {
    ByteReader peek(data_);
    ORVEX_TRY(peek.Seek(offset));
    return peek.Read<T>();
  }

  Expected<Bytes> ReadBytes(size_t count) {
    if (count > Remaining())
      return Error{"block of " + std::to_string(count) + " bytes at offset " +
                   std::to_string(pos_) + " runs past the end"};
    Bytes out = data_.subspan(pos_, count);
    pos_ += count;
    return out;
  }

  // `count` elements of `elementSize` bytes, checked for overflow before multiplying.
  Expected<Bytes> ReadArray(size_t count, size_t elementSize) {
    if (elementSize != 0 && count > Remaining() / elementSize)
      return Error{"array of " + std::to_string(count) + " elements runs past the end"};
    return ReadBytes(count * elementSize);
  }

  // A sub-range [offset, offset + count) of the whole data, checked.
  Expected<Bytes> SliceAt(size_t offset, size_t count) const {
    if (offset > data_.size() || count > data_.size() - offset)
      return Error{"range at offset " + std::to_string(offset) + " of " + std::to_string(count) +
                   " bytes runs past the end"};
    return data_.subspan(offset, count);
  }

  // Zero-terminated 8-bit text; fails when no terminator comes before the end.
  Expected<std::string> ReadCString() {
    const auto* begin = reinterpret_cast<const char*>(data_.data() + pos_);
    const void* nul = std::memchr(begin, 0, Remaining());
    if (nul == nullptr)
      return Error{"text at offset " + std::to_string(pos_) + " runs past the end"};
    size_t length = static_cast<size_t>(static_cast<const char*>(nul) - begin);
    std::string out(begin, length);
    pos_ += length + 1;
    return out;
  }

  // Zero-terminated UTF-16 text; fails when no terminator comes before the end.
  Expected<std::u16string> ReadU16CString() {
    Bytes text;
    if (!TryReadU16CStringBytes(text)) return Error{"UTF-16 text runs past the end"};
    std::u16string out(text.size() / 2, u'\0');
    if (!text.empty()) std::memcpy(out.data(), text.data(), text.size());
    return out;
  }

  // The zero-terminated UTF-16 text at the position as its bytes, terminator excluded, and
  // moves past the terminator; false, and nothing read, when no terminator comes before
  // the end. The terminator is looked for four units at a time.
  bool TryReadU16CStringBytes(Bytes& text) {
    const std::byte* base = data_.data() + pos_;
    const size_t units = Remaining() / 2;
    size_t length = 0;
    for (; units - length >= 4; length += 4) {
      uint64_t word;
      std::memcpy(&word, base + 2 * length, sizeof word);
      // The lowest flagged lane is the first zero unit (borrows only flag lanes above it).
      const uint64_t zero = (word - 0x0001000100010001ull) & ~word & 0x8000800080008000ull;
      if (zero != 0) {
        length += static_cast<size_t>(std::countr_zero(zero)) / 16;
        return TakeU16Text(length, text);
      }
    }
    for (; length < units; ++length) {
      if (base[2 * length] == std::byte{0} && base[2 * length + 1] == std::byte{0})
        return TakeU16Text(length, text);
    }
    return false;
  }

  // `count` UTF-16 units (no terminator).
  Expected<std::u16string> ReadU16String(size_t count) {
    auto bytes = ReadArray(count, 2);
    if (!bytes) return bytes.GetError();
    std::u16string out(count, u'\0');
    if (count != 0) std::memcpy(out.data(), bytes->data(), count * 2);
    return out;
  }

 private:
  bool TakeU16Text(size_t units, Bytes& text) {
    text = data_.subspan(pos_, units * 2);
    pos_ += (units + 1) * 2;
    return true;
  }

  Bytes data_;
  size_t pos_ = 0;
};

// Restores the reader's position when it goes out of scope: a scoped peek.
class ScopedPeek {
 public:
  explicit ScopedPeek(ByteReader& reader) : reader_(reader), saved_(reader.Position()) {}
  ~ScopedPeek() { (void)reader_.Seek(saved_); }
  ScopedPeek(const ScopedPeek&) = delete;
  ScopedPeek& operator=(const ScopedPeek&) = delete;

 private:
  ByteReader& reader_;
  size_t saved_;
};

}  // namespace orvex
