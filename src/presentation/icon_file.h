// Icon and cursor files (.ico / .cur) put back together from a module's resources: the
// group directory (RT_GROUP_ICON / RT_GROUP_CURSOR) names its images by resource id; the
// file holds the same entries, in directory order, with the images' bytes after them.
#pragma once

#include <cstdint>
#include <vector>

#include "base/byte_reader.h"
#include "base/expected.h"

namespace orvex {

struct IconGroupEntry {
  uint16_t id = 0;      // the RT_ICON / RT_CURSOR resource holding the image
  uint16_t width = 0;   // pixels; 0 in the directory means 256 for icons
  uint16_t height = 0;  // pixels (a cursor directory stores twice the height)
  uint8_t colorCount = 0;
  uint16_t planes = 0;
  uint16_t bitCount = 0;
};

struct IconGroup {
  bool cursor = false;
  std::vector<IconGroupEntry> entries;
};

// Reads a group directory: reserved 0, type 1 (icons) or 2 (cursors), the count, then
// 14-byte entries. Entries past the end of the bytes are an error.
Expected<IconGroup> ParseIconGroup(Bytes directory);

// The file bytes for `group` with images[i] the resource bytes of entry i (a cursor's
// resource starts with its hotspot, which moves into the file's directory entry). Entries
// without bytes (the resource is missing, or a cursor image shorter than its hotspot) are
// left out.
std::vector<uint8_t> AssembleIconFile(const IconGroup& group,
                                      const std::vector<std::vector<uint8_t>>& images);

}  // namespace orvex
