#include "platform/gdi/icon_directory.h"

namespace orvex {
namespace {

constexpr size_t kEntrySize = 14;

}  // namespace

uint32_t IconDirectoryEntry::Bits() const {
  if (planes != 0 && bitCount != 0) return static_cast<uint32_t>(planes) * bitCount;
  uint32_t bits = 0;
  while (colorCount > (1u << bits) && bits < 8) ++bits;
  return bits;
}

Expected<IconDirectory> ReadIconDirectory(Bytes directory) {
  ByteReader reader(directory);
  auto reserved = reader.Read<uint16_t>();
  auto type = reader.Read<uint16_t>();
  auto count = reader.Read<uint16_t>();
  if (!reserved || !type || !count) return Error{"group directory shorter than its header"};
  if (*reserved != 0 || (*type != kIconDirectoryIcon && *type != kIconDirectoryCursor)) {
    return Error{"no icon or cursor group directory"};
  }
  IconDirectory group;
  group.cursor = *type == kIconDirectoryCursor;
  if (reader.Remaining() / kEntrySize < *count) {
    return Error{"group directory entries run past its end"};
  }
  group.entries.reserve(*count);
  for (uint16_t i = 0; i < *count; ++i) {
    IconDirectoryEntry entry;
    if (group.cursor) {
      entry.width = *reader.Read<uint16_t>();
      entry.height = static_cast<uint16_t>(*reader.Read<uint16_t>() / 2);
    } else {
      const uint8_t width = *reader.Read<uint8_t>();
      const uint8_t height = *reader.Read<uint8_t>();
      entry.width = width ? width : 256;
      entry.height = height ? height : 256;
      entry.colorCount = *reader.Read<uint8_t>();
      (void)*reader.Read<uint8_t>();  // reserved
    }
    entry.planes = *reader.Read<uint16_t>();
    entry.bitCount = *reader.Read<uint16_t>();
    (void)*reader.Read<uint32_t>();  // the stored size; the image's own size counts
    entry.id = *reader.Read<uint16_t>();
    group.entries.push_back(entry);
  }
  return group;
}

}  // namespace orvex
