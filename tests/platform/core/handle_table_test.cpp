// Handles in both of the platform's forms: the graphics objects' (index, kind byte, 8-bit
// reuse count) and the window manager's (index, 16-bit reuse count from 1); a destroyed
// handle stays invalid when its entry is reused.
#include "platform/core/handle_table.h"

#include <gtest/gtest.h>

namespace orvex {
namespace {

TEST(HandleTable, FormsHandlesAsThePlatformDoesAndRefusesStaleOnes) {
  struct Case {
    HandleKind kind;
    uint32_t first, second, reused;
  };
  const Case cases[] = {
      {HandleKind::Bitmap, 0x00050001, 0x00050002, 0x01050001},
      {HandleKind::Menu, 0x00010001, 0x00010002, 0x00020001},
  };
  for (const Case& c : cases) {
    HandleTable<int> table(c.kind);
    const uint32_t first = table.Add(std::make_shared<int>(1));
    const uint32_t second = table.Add(std::make_shared<int>(2));
    EXPECT_EQ(first, c.first);
    EXPECT_EQ(second, c.second);
    ASSERT_NE(table.Remove(first), nullptr);
    EXPECT_EQ(table.Remove(first), nullptr) << "removed twice";
    const uint32_t reused = table.Add(std::make_shared<int>(3));
    EXPECT_EQ(reused, c.reused);
    EXPECT_EQ(table.Find(first), nullptr) << "a stale handle names the entry's new object";
    const auto found = table.Find(reused);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(*found, 3);
    EXPECT_EQ(table.Find(0), nullptr);
    EXPECT_EQ(table.LiveCount(), 2u);
  }
  // A graphics handle of another kind names nothing, though its index is live.
  HandleTable<int> icons(HandleKind::Icon);
  const uint32_t icon = icons.Add(std::make_shared<int>(1));
  EXPECT_EQ(icons.Find((icon & 0xFF00FFFF) | 0x00050000), nullptr);
}

}  // namespace
}  // namespace orvex
