// Layout of the caller's buffer, decided here (the platform does likewise):
//   [0, n)            the version block, its root wLength set to n (the block as stored,
//                     cut at the resource's end);
//   [n, n + 4)        the marker "FE2X" when the room below exists;
//   [n + 4, ...)      room for ANSI copies of text values: the copy of a value stored at
//                     offset o goes to n + 4 + o / 2. A value of c characters occupies 2c
//                     bytes in the block and c + 1 bytes here, so copies never overlap
//                     and all fit in n / 2 + 2 bytes.
// The size asked for is 2n + 4, which covers that.
#include "platform/version/version.h"

#include <cstring>
#include <string>

#include "platform/text/text.h"
#include "platform/version/version_block.h"

namespace orvex {
namespace {

constexpr char kMarker[4] = {'F', 'E', '2', 'X'};
constexpr size_t kMinBlock = 6;

// The block's usable length: its root wLength, cut at the resource's end.
size_t BlockLength(Bytes resource) {
  auto length = ByteReader(resource).ReadAt<uint16_t>(0);
  if (!length) return 0;
  return *length < resource.size() ? *length : resource.size();
}

}  // namespace

DWORD VersionBufferSize(Bytes resource) {
  size_t n = BlockLength(resource);
  if (n < kMinBlock) return 0;
  return static_cast<DWORD>(2 * n + 4);
}

BOOL CopyVersionResource(Bytes resource, DWORD size, LPVOID data) {
  size_t n = BlockLength(resource);
  if (n < kMinBlock || data == nullptr) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return FALSE;
  }
  auto* out = static_cast<unsigned char*>(data);
  if (size >= 2 * n + 4) {
    std::memcpy(out, resource.data(), n);
    std::memcpy(out + n, kMarker, sizeof kMarker);
    std::memset(out + n + 4, 0, size - n - 4);
  } else {
    // Too small for the room: keep what fits beside a 4-byte trailer without the marker.
    if (size < kMinBlock + 4) {
      SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return FALSE;
    }
    n = n < size - 4 ? n : size - 4;
    std::memcpy(out, resource.data(), n);
    std::memset(out + n, 0, 4);
  }
  uint16_t rootLength = static_cast<uint16_t>(n);
  std::memcpy(out, &rootLength, sizeof rootLength);
  return TRUE;
}

BOOL VerQueryValueA(const void* block, LPCSTR subBlock, LPVOID* buffer, UINT* length) {
  if (block == nullptr || subBlock == nullptr || buffer == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  uint16_t rootLength;
  std::memcpy(&rootLength, block, sizeof rootLength);
  Bytes bytes = AsBytes(block, rootLength);
  auto value = FindVersionValue(bytes, subBlock);
  if (!value) {
    if (length != nullptr) *length = 0;
    SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return FALSE;
  }
  auto* base = static_cast<unsigned char*>(const_cast<void*>(block));
  if (!value->unicodeText) {
    *buffer = base + value->offset;
    if (length != nullptr) *length = value->length;
    return TRUE;
  }
  // UTF-16 text: the ANSI form goes to the value's slot in the room behind the block.
  if (std::memcmp(base + rootLength, kMarker, sizeof kMarker) != 0) {
    if (length != nullptr) *length = 0;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  ByteReader reader(bytes);
  (void)reader.Seek(value->offset);
  auto units = reader.ReadU16String(value->length);
  std::string ansi = UnicodeToAnsi(units ? *units : std::u16string());
  unsigned char* slot = base + rootLength + 4 + value->offset / 2;
  std::memcpy(slot, ansi.data(), ansi.size());
  slot[ansi.size()] = 0;
  *buffer = slot;
  if (length != nullptr) *length = static_cast<UINT>(ansi.size());
  return TRUE;
}

}  // namespace orvex
