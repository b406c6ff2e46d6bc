// Group directories of icons and cursors (RT_GROUP_ICON / RT_GROUP_CURSOR): a 6-byte header
// (reserved 0, type 1 for icons or 2 for cursors, the count) and 14-byte entries naming
// their images by resource id. Read through the bounds-checked reader, for the platform's
// choice of an entry and for hosts that write the group out as an .ico / .cur file.
#pragma once

#include <cstdint>
#include <vector>

#include "base/byte_reader.h"
#include "base/expected.h"

namespace orvex {

// The header's type word: the same in a group resource and in an .ico / .cur file.
inline constexpr uint16_t kIconDirectoryIcon = 1;
inline constexpr uint16_t kIconDirectoryCursor = 2;

struct IconDirectoryEntry {
  uint16_t id = 0;      // the RT_ICON / RT_CURSOR resource holding the image
  uint16_t width = 0;   // pixels; a 0 byte in an icon entry means 256
  uint16_t height = 0;  // pixels (a cursor entry stores twice the height)
  uint8_t colorCount = 0;
  uint16_t planes = 0;
  uint16_t bitCount = 0;

  // The colours the entry stands for, as bits per pixel.
  uint32_t Bits() const;
};

struct IconDirectory {
  bool cursor = false;
  std::vector<IconDirectoryEntry> entries;
};

// Entries past the end of the bytes, a reserved word other than 0 or another type are errors.
Expected<IconDirectory> ReadIconDirectory(Bytes directory);

// The entry LoadImageA takes from a group for cx × cy pixels. An icon group takes the
// nearest size, then the most colours; a cursor group the largest entry within the size
// (else the smallest), then the most colours. With no size asked for (0, 0) an icon group
// asks for its first entry's size and a cursor group takes its first entry; a single 0 is the
// first entry's width or height.
const IconDirectoryEntry& ChooseIconEntry(const IconDirectory& group, int cx, int cy);

// The image id ChooseIconEntry takes from the group directory `directory` (a whole
// resource); 0 when it is no group of the kind asked for or it has no entries.
uint16_t ChooseIconId(Bytes directory, bool icon, int cx, int cy);

// The size in bytes of a directory whose header is at `header` (6 bytes, read by the
// caller): the header and the entries its count names.
inline size_t IconDirectorySize(const uint8_t* header) {
  return 6u + 14u * static_cast<size_t>(header[4] | header[5] << 8);
}

}  // namespace orvex
