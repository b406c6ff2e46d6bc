// The byte-level view behind the module functions, driven without files.
#include "platform/module/resource_tree.h"

#include <gtest/gtest.h>

#include <string>

#include "pe_writer/pe_writer.h"

namespace orvex {
namespace {

using test::Bytes;
using test::PeWriter;

std::u16string Name(int i) {
  std::string text = "Res" + std::to_string(i * 7919 % 1000);
  return std::u16string(text.begin(), text.end());
}

// Every entry is found, by binary search in a sorted directory and by a linear walk in
// an unsorted one, and names that lie between stored ones are not.
TEST(ResourceTreeTest, FindsEveryEntrySortedOrNot) {
  for (bool unsorted : {false, true}) {
    PeWriter writer;
    for (int i = 0; i < 200; ++i) {
      writer.Add(10, Name(i), 0x0409, Bytes(std::to_string(i)));
      writer.Add(11, uint16_t(i * 3), 0x0409, Bytes(std::to_string(i)));
    }
    test::Malformation bad;
    bad.unsorted = unsorted;
    std::vector<uint8_t> bytes = writer.Damage(bad).Build();
    auto image = PeImage::Parse(AsBytes(bytes.data(), bytes.size()));
    ASSERT_TRUE(image);
    ResourceTree tree = ResourceTree::Build(*image);
    auto root = tree.Root();
    ASSERT_TRUE(root);
    auto names = tree.Subdirectory(*tree.Find(*root, ResourceKey::Number(10)));
    auto numbers = tree.Subdirectory(*tree.Find(*root, ResourceKey::Number(11)));
    ASSERT_TRUE(names && numbers);
    for (int i = 0; i < 200; ++i) {
      std::u16string lower;
      for (char16_t c : Name(i)) lower.push_back(c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c);
      auto byName = tree.Find(*names, ResourceKey::Name(lower));
      ASSERT_TRUE(byName) << i << " unsorted " << unsorted;
      auto data = tree.Data(tree.FindLanguage(*tree.Subdirectory(*byName), std::nullopt)->target);
      EXPECT_EQ(std::string(reinterpret_cast<const char*>(data.bytes.data()), data.size),
                std::to_string(i));
      EXPECT_TRUE(tree.Find(*numbers, ResourceKey::Number(uint16_t(i * 3))));
      EXPECT_FALSE(tree.Find(*numbers, ResourceKey::Number(uint16_t(i * 3 + 1))));
    }
    EXPECT_FALSE(tree.Find(*names, ResourceKey::Name(u"Res")));
    EXPECT_FALSE(tree.Find(*names, ResourceKey::Name(u"Res9999")));
  }
}

}  // namespace
}  // namespace orvex
