// The media fixtures of tests/fixtures/media (written by make_media.py) and small helpers
// that change one field of their bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace orvex::test {

inline std::vector<std::byte> MediaFixture(std::string_view name) {
  const std::string path =
      std::string(ORVEX_SOURCE_DIR) + "/tests/fixtures/media/" + std::string(name);
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("missing fixture " + path);
  std::vector<char> chars((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::byte> bytes(chars.size());
  if (!chars.empty()) std::memcpy(bytes.data(), chars.data(), chars.size());
  return bytes;
}

// 32-bit little-endian words of a fixture (.bgra pixels).
inline std::vector<uint32_t> FixtureWords(std::string_view name) {
  const std::vector<std::byte> bytes = MediaFixture(name);
  std::vector<uint32_t> words(bytes.size() / 4);
  std::memcpy(words.data(), bytes.data(), words.size() * 4);
  return words;
}

// The offset of the first occurrence of `text` (a chunk id) in `bytes`.
inline size_t Find(const std::vector<std::byte>& bytes, std::string_view text, size_t from = 0) {
  for (size_t i = from; i + text.size() <= bytes.size(); ++i)
    if (std::memcmp(bytes.data() + i, text.data(), text.size()) == 0) return i;
  throw std::runtime_error("no '" + std::string(text) + "' in the fixture");
}

inline void Put32(std::vector<std::byte>& bytes, size_t offset, uint32_t value) {
  std::memcpy(bytes.data() + offset, &value, 4);
}
inline void Put16(std::vector<std::byte>& bytes, size_t offset, uint16_t value) {
  std::memcpy(bytes.data() + offset, &value, 2);
}
inline void PutText(std::vector<std::byte>& bytes, size_t offset, std::string_view text) {
  std::memcpy(bytes.data() + offset, text.data(), text.size());
}
inline uint32_t Get32(const std::vector<std::byte>& bytes, size_t offset) {
  uint32_t value;
  std::memcpy(&value, bytes.data() + offset, 4);
  return value;
}

// Inserts `data` at the end of the list whose id starts at `listOffset`, growing the list
// and the RIFF form around it.
inline void AppendToList(std::vector<std::byte>& bytes, size_t listOffset,
                         const std::vector<std::byte>& data) {
  const size_t end = listOffset + 8 + Get32(bytes, listOffset + 4);
  bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(end), data.begin(), data.end());
  Put32(bytes, listOffset + 4, Get32(bytes, listOffset + 4) + static_cast<uint32_t>(data.size()));
  Put32(bytes, 4, Get32(bytes, 4) + static_cast<uint32_t>(data.size()));
}

}  // namespace orvex::test
