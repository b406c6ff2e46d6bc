// BSTR: the automation runtime's counted strings, laid out as
// [uint32 byte length][UTF-16 units...][NUL] with the pointer at the first unit. Blocks come
// from large_blocks.h, which keeps large freed ones for the next string of that size.
#include "platform/ole/oleauto.h"

#include <cstring>
#include <limits>
#include <string>

#include "platform/ole/large_blocks.h"

namespace orvex {

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
  if (length > (std::numeric_limits<uint32_t>::max() - 8) / 2) return nullptr;
  size_t bytes = size_t(length) * 2;
  auto* block = static_cast<char*>(ole_detail::AllocateBlock(4 + bytes + 2));
  if (block == nullptr) return nullptr;
  uint32_t prefix = static_cast<uint32_t>(bytes);
  std::memcpy(block, &prefix, 4);
  auto* units = reinterpret_cast<OLECHAR*>(block + 4);
  if (text != nullptr && length != 0)
    std::memcpy(units, text, bytes);
  else
    std::memset(units, 0, bytes);
  units[length] = 0;
  return units;
}

BSTR SysAllocString(const OLECHAR* text) {
  if (text == nullptr) return nullptr;
  return SysAllocStringLen(text, static_cast<UINT>(std::char_traits<char16_t>::length(text)));
}

BSTR SysAllocStringView(std::u16string_view text) {
  return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

BSTR SysAllocStringByteLen(const char* bytes, UINT length) {
  if (length > std::numeric_limits<uint32_t>::max() - 8) return nullptr;
  auto* block = static_cast<char*>(ole_detail::AllocateBlock(4 + size_t(length) + 2));
  if (block == nullptr) return nullptr;
  std::memcpy(block, &length, 4);
  if (bytes != nullptr && length != 0)
    std::memcpy(block + 4, bytes, length);
  else
    std::memset(block + 4, 0, length);
  block[4 + length] = 0;
  block[4 + length + 1] = 0;
  return reinterpret_cast<BSTR>(block + 4);
}

void SysFreeString(BSTR text) {
  if (text != nullptr) ole_detail::FreeBlock(reinterpret_cast<char*>(text) - 4);
}

UINT SysStringByteLen(BSTR text) {
  if (text == nullptr) return 0;
  uint32_t prefix;
  std::memcpy(&prefix, reinterpret_cast<char*>(text) - 4, 4);
  return prefix;
}

UINT SysStringLen(BSTR text) {
  return SysStringByteLen(text) / 2;
}

}  // namespace orvex
