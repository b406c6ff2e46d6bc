// Icon and cursor files put together from group directories and image resources.
#include "renderers/icon_file.h"

#include <gtest/gtest.h>

#include <cstring>

namespace orvex {
namespace {

std::vector<uint8_t> Words(std::initializer_list<uint32_t> values,
                           std::initializer_list<int> sizes) {
  std::vector<uint8_t> out;
  auto size = sizes.begin();
  for (uint32_t v : values) {
    for (int i = 0; i < *size; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    ++size;
  }
  return out;
}

Bytes View(const std::vector<uint8_t>& v) {
  return AsBytes(v.data(), v.size());
}

uint32_t At(const std::vector<uint8_t>& v, size_t offset, int size) {
  uint32_t value = 0;
  for (int i = 0; i < size; ++i) value |= uint32_t{v[offset + i]} << (8 * i);
  return value;
}

TEST(IconFile, IconGroupBecomesAFileWithEntriesInDirectoryOrder) {
  // Two entries: 48 × 48 at 8 bits (id 7), and a 256-pixel entry (size bytes 0, id 2).
  auto directory = Words({0, 1, 2}, {2, 2, 2});
  for (auto e : {Words({48, 48, 0, 0, 1, 8, 999, 7}, {1, 1, 1, 1, 2, 2, 4, 2}),
                 Words({0, 0, 0, 0, 1, 32, 999, 2}, {1, 1, 1, 1, 2, 2, 4, 2})}) {
    directory.insert(directory.end(), e.begin(), e.end());
  }
  auto group = ReadIconDirectory(View(directory));
  ASSERT_TRUE(group);
  ASSERT_EQ(group->entries.size(), 2u);
  EXPECT_EQ(group->entries[1].width, 256);
  EXPECT_EQ(group->entries[1].id, 2);

  const std::vector<uint8_t> first(40, 0xAA), second = {0x89, 'P', 'N', 'G', 1, 2, 3};
  const auto file = AssembleIconFile(*group, {first, second});
  EXPECT_EQ(At(file, 2, 2), 1u);
  EXPECT_EQ(At(file, 4, 2), 2u);
  // Entry 1: 48 × 48, planes 1, 8 bits, its own size (not the directory's 999), offset 38.
  EXPECT_EQ(file[6], 48);
  EXPECT_EQ(At(file, 6 + 6, 2), 8u);
  EXPECT_EQ(At(file, 6 + 8, 4), 40u);
  EXPECT_EQ(At(file, 6 + 12, 4), 38u);
  // Entry 2: size bytes 0 (256), the PNG kept as it is.
  EXPECT_EQ(file[22], 0);
  EXPECT_EQ(At(file, 22 + 12, 4), 78u);
  EXPECT_EQ(file.size(), 78u + second.size());
  EXPECT_EQ(0, std::memcmp(file.data() + 78, second.data(), second.size()));
}

TEST(IconFile, CursorHotspotMovesIntoTheDirectoryAndMissingImagesAreLeftOut) {
  auto directory = Words({0, 2, 2}, {2, 2, 2});
  for (auto e : {Words({32, 64, 1, 1, 0, 5}, {2, 2, 2, 2, 4, 2}),
                 Words({16, 32, 1, 1, 0, 6}, {2, 2, 2, 2, 4, 2})}) {
    directory.insert(directory.end(), e.begin(), e.end());
  }
  auto group = ReadIconDirectory(View(directory));
  ASSERT_TRUE(group);
  EXPECT_TRUE(group->cursor);
  EXPECT_EQ(group->entries[0].height, 32);  // the directory stores twice the height
  std::vector<uint8_t> image = {3, 0, 9, 0, 'D', 'I', 'B'};
  const auto file = AssembleIconFile(*group, {image, {}});
  EXPECT_EQ(At(file, 2, 2), 2u);
  EXPECT_EQ(At(file, 4, 2), 1u);
  EXPECT_EQ(file[6], 32);
  EXPECT_EQ(file[7], 32);
  EXPECT_EQ(At(file, 6 + 4, 2), 3u);  // hotspot x
  EXPECT_EQ(At(file, 6 + 6, 2), 9u);  // hotspot y
  EXPECT_EQ(At(file, 6 + 8, 4), 3u);
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + 22, file.end()),
            (std::vector<uint8_t>{'D', 'I', 'B'}));
}

TEST(IconFile, MalformedDirectoriesAreRefused) {
  const std::vector<std::vector<uint8_t>> cases = {
      {},
      Words({0, 1}, {2, 2}),
      Words({1, 1, 0}, {2, 2, 2}),         // reserved word not 0
      Words({0, 3, 0}, {2, 2, 2}),         // neither icons nor cursors
      Words({0, 1, 2, 32}, {2, 2, 2, 4}),  // entries past the end
  };
  for (const auto& bytes : cases) EXPECT_FALSE(ReadIconDirectory(View(bytes))) << bytes.size();
}

}  // namespace
}  // namespace orvex
