#include "presentation/icon_file.h"

#include <string>

namespace orvex {
namespace {

constexpr uint16_t kIconType = 1;
constexpr uint16_t kCursorType = 2;
constexpr size_t kFileHeaderSize = 6;
constexpr size_t kFileEntrySize = 16;

void PutWord(std::vector<uint8_t>& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutDword(std::vector<uint8_t>& out, uint32_t value) {
  PutWord(out, static_cast<uint16_t>(value));
  PutWord(out, static_cast<uint16_t>(value >> 16));
}

// A size as the file's byte field holds it: 256 and more as 0.
uint8_t SizeByte(uint16_t pixels) {
  return pixels >= 256 ? 0 : static_cast<uint8_t>(pixels);
}

}  // namespace

Expected<IconGroup> ParseIconGroup(Bytes directory) {
  ByteReader reader(directory);
  auto reserved = reader.Read<uint16_t>();
  auto type = reader.Read<uint16_t>();
  auto count = reader.Read<uint16_t>();
  if (!reserved || !type || !count) return Error{"group directory shorter than its header"};
  if (*reserved != 0 || (*type != kIconType && *type != kCursorType)) {
    return Error{"no icon or cursor group directory"};
  }
  IconGroup group;
  group.cursor = *type == kCursorType;
  if (reader.Remaining() / 14 < *count) return Error{"group directory entries run past its end"};
  group.entries.reserve(*count);
  for (uint16_t i = 0; i < *count; ++i) {
    IconGroupEntry entry;
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
    (void)*reader.Read<uint32_t>();  // the stored size; the image's own size is used
    entry.id = *reader.Read<uint16_t>();
    group.entries.push_back(entry);
  }
  return group;
}

std::vector<uint8_t> AssembleIconFile(const IconGroup& group,
                                      const std::vector<std::vector<uint8_t>>& images) {
  // Cursor resources start with the hotspot (two words) before the image.
  const size_t skip = group.cursor ? 4 : 0;
  std::vector<size_t> kept;
  for (size_t i = 0; i < group.entries.size() && i < images.size(); ++i) {
    if (images[i].size() > skip) kept.push_back(i);
  }
  std::vector<uint8_t> out;
  PutWord(out, 0);
  PutWord(out, group.cursor ? kCursorType : kIconType);
  PutWord(out, static_cast<uint16_t>(kept.size()));
  size_t offset = kFileHeaderSize + kFileEntrySize * kept.size();
  for (size_t i : kept) {
    const IconGroupEntry& entry = group.entries[i];
    const std::vector<uint8_t>& image = images[i];
    out.push_back(SizeByte(entry.width));
    out.push_back(SizeByte(entry.height));
    out.push_back(entry.colorCount);
    out.push_back(0);
    if (group.cursor) {
      PutWord(out, static_cast<uint16_t>(image[0] | image[1] << 8));
      PutWord(out, static_cast<uint16_t>(image[2] | image[3] << 8));
    } else {
      PutWord(out, entry.planes);
      PutWord(out, entry.bitCount);
    }
    const size_t size = image.size() - skip;
    PutDword(out, static_cast<uint32_t>(size));
    PutDword(out, static_cast<uint32_t>(offset));
    offset += size;
  }
  for (size_t i : kept) out.insert(out.end(), images[i].begin() + skip, images[i].end());
  return out;
}

}  // namespace orvex
