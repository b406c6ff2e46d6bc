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

// The clip with a second stream list, of audio ('strh' of type auds, 'strf' a WAVEFORMAT).
inline std::vector<std::byte> WithAudioStream(std::vector<std::byte> bytes) {
  std::vector<std::byte> strl(8 + 4 + 8 + 56 + 8 + 16);
  PutText(strl, 0, "LIST");
  Put32(strl, 4, static_cast<uint32_t>(strl.size() - 8));
  PutText(strl, 8, "strl");
  PutText(strl, 12, "strh");
  Put32(strl, 16, 56);
  PutText(strl, 20, "auds");
  PutText(strl, 76, "strf");
  Put32(strl, 80, 16);
  AppendToList(bytes, Find(bytes, "hdrl") - 8, strl);
  return bytes;
}

// The clip with its video format and stream header naming another codec.
inline std::vector<std::byte> WithCodec(std::vector<std::byte> bytes, std::string_view code) {
  PutText(bytes, Find(bytes, "strf") + 8 + 16, code);
  PutText(bytes, Find(bytes, "vids") + 4, code);
  return bytes;
}

// Writes `bytes` to `path`.
inline void WriteFile(const std::string& path, const std::vector<std::byte>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

}  // namespace orvex::test
