// The stand-in keeps large freed string and array blocks for reuse: a reused block must read
// as a new one (zero-filled where the functions zero-fill) and hold the size asked for.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "platform/ole/large_blocks.h"
#include "platform/ole/oleauto.h"

namespace orvex {
namespace {

constexpr UINT kUnits = 100000;  // 200 KB: a large block

TEST(LargeBlocks, AFreedStringBlockServesTheNextStringOfItsSizeZeroFilled) {
  ole_detail::ReleaseKeptBlocks();  // nothing kept by earlier tests
  BSTR first = SysAllocStringLen(nullptr, kUnits);
  ASSERT_NE(first, nullptr);
  std::fill_n(first, kUnits, u'x');
  SysFreeString(first);

  BSTR second = SysAllocStringLen(nullptr, kUnits);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second, first);  // the same memory, without a trip to the system
  EXPECT_EQ(SysStringLen(second), kUnits);
  EXPECT_TRUE(std::all_of(second, second + kUnits + 1, [](char16_t c) { return c == 0; }));
  SysFreeString(second);
  ole_detail::ReleaseKeptBlocks();
}

TEST(LargeBlocks, AReusedArrayBlockReadsAsZeros) {
  ole_detail::ReleaseKeptBlocks();
  SAFEARRAY* first = SafeArrayCreateVector(VT_UI1, 0, 2 * kUnits);
  ASSERT_NE(first, nullptr);
  std::memset(first->pvData, 0xAB, 2 * kUnits);
  void* const firstData = first->pvData;
  ASSERT_EQ(SafeArrayDestroy(first), S_OK);

  SAFEARRAY* second = SafeArrayCreateVector(VT_UI1, 0, 2 * kUnits);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->pvData, firstData);
  const auto* bytes = static_cast<const unsigned char*>(second->pvData);
  EXPECT_TRUE(std::all_of(bytes, bytes + 2 * kUnits, [](unsigned char b) { return b == 0; }));
  ASSERT_EQ(SafeArrayDestroy(second), S_OK);
  ole_detail::ReleaseKeptBlocks();
}

TEST(LargeBlocks, ABlockFarLargerThanAskedForIsNotHandedOut) {
  BSTR large = SysAllocStringLen(nullptr, 4 * kUnits);
  ASSERT_NE(large, nullptr);
  SysFreeString(large);
  BSTR small = SysAllocStringLen(nullptr, kUnits);
  ASSERT_NE(small, nullptr);
  EXPECT_NE(small, large);
  SysFreeString(small);
  ole_detail::ReleaseKeptBlocks();
}

}  // namespace
}  // namespace orvex
