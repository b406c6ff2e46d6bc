#include "renderers/icon_file.h"

#include <string>

namespace orvex {
namespace {

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

std::vector<uint8_t> AssembleIconFile(const IconDirectory& group,
                                      const std::vector<std::vector<uint8_t>>& images) {
  // Cursor resources start with the hotspot (two words) before the image.
  const size_t skip = group.cursor ? 4 : 0;
  std::vector<size_t> kept;
  for (size_t i = 0; i < group.entries.size() && i < images.size(); ++i) {
    if (images[i].size() > skip) kept.push_back(i);
  }
  std::vector<uint8_t> out;
  PutWord(out, 0);
  PutWord(out, group.cursor ? kIconDirectoryCursor : kIconDirectoryIcon);
  PutWord(out, static_cast<uint16_t>(kept.size()));
  size_t offset = kFileHeaderSize + kFileEntrySize * kept.size();
  for (size_t i : kept) {
    const IconDirectoryEntry& entry = group.entries[i];
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
