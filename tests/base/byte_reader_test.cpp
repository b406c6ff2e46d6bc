#include "base/byte_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace orvex {
namespace {

// The terminator search looks at four units at a time: units whose bytes make borrows
// (0x0100, 0x8000, 0x0001, 0xFFFF) or a zero byte pair across two units (0x0041 0x4100)
// must not pass for a terminator, and the first real one must be found at every position,
// at even and odd starting offsets, or reported missing.
TEST(ByteReader, FindsTheFirstUtf16TerminatorWherever) {
  const uint16_t fillerPairs[][2] = {
      {0x0100, 0x0100}, {0x8000, 0x8000}, {0x0001, 0x0001}, {0xFFFF, 0xFFFF}, {0x0041, 0x4100}};
  for (const auto& pair : fillerPairs) {
    auto fillerAt = [&](size_t unit) { return pair[unit % 2]; };
    for (size_t at = 0; at < 12; ++at) {
      for (const size_t start : {0u, 1u}) {
        std::vector<uint8_t> bytes(start, 0xAA);
        for (size_t unit = 0; unit < 12; ++unit) {
          const uint16_t value = unit == at ? 0 : fillerAt(unit);
          bytes.push_back(static_cast<uint8_t>(value));
          bytes.push_back(static_cast<uint8_t>(value >> 8));
        }
        ByteReader reader(AsBytes(bytes.data(), bytes.size()));
        ASSERT_TRUE(reader.Skip(start));
        Bytes text;
        ASSERT_TRUE(reader.TryReadU16CStringBytes(text)) << pair[0] << " " << at;
        EXPECT_EQ(text.size(), at * 2);
        EXPECT_EQ(reader.Position(), start + (at + 1) * 2);
      }
    }
    // No terminator, and an odd last byte that holds a zero: nothing read.
    std::vector<uint8_t> none;
    for (size_t unit = 0; unit < 9; ++unit) {
      none.push_back(static_cast<uint8_t>(fillerAt(unit)));
      none.push_back(static_cast<uint8_t>(fillerAt(unit) >> 8));
    }
    none.push_back(0);
    ByteReader reader(AsBytes(none.data(), none.size()));
    Bytes text;
    EXPECT_FALSE(reader.TryReadU16CStringBytes(text));
    EXPECT_EQ(reader.Position(), 0u);
    EXPECT_FALSE(reader.ReadU16CString());
  }
}

}  // namespace
}  // namespace orvex
