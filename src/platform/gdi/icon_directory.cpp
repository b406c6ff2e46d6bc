#include "platform/gdi/icon_directory.h"

#include <cstdlib>

namespace orvex {
namespace {

constexpr size_t kEntrySize = 14;

uint32_t Area(const IconDirectoryEntry& e) {
  return static_cast<uint32_t>(e.width) * e.height;
}

// A cursor for cx × cy: the largest entry within that size, else the smallest; among entries
// of one size the most colours, then the first.
const IconDirectoryEntry& CursorEntry(const std::vector<IconDirectoryEntry>& entries, int cx,
                                      int cy) {
  const auto within = [&](const IconDirectoryEntry& e) { return e.width <= cx && e.height <= cy; };
  const IconDirectoryEntry* best = &entries[0];
  for (const IconDirectoryEntry& e : entries) {
    if (within(e) != within(*best)) {
      if (within(e)) best = &e;
    } else if (Area(e) != Area(*best)) {
      if (within(e) == (Area(e) > Area(*best))) best = &e;
    } else if (e.Bits() > best->Bits()) {
      best = &e;
    }
  }
  return *best;
}

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

const IconDirectoryEntry& ChooseIconEntry(const IconDirectory& group, int cx, int cy) {
  const std::vector<IconDirectoryEntry>& entries = group.entries;
  if (group.cursor && cx == 0 && cy == 0) return entries[0];
  if (cx == 0) cx = entries[0].width;
  if (cy == 0) cy = entries[0].height;
  if (group.cursor) return CursorEntry(entries, cx, cy);
  const auto distance = [&](const IconDirectoryEntry& e) {
    return std::abs(e.width - cx) + std::abs(e.height - cy);
  };
  size_t best = 0;
  for (size_t i = 1; i < entries.size(); ++i) {
    const IconDirectoryEntry& e = entries[i];
    const IconDirectoryEntry& b = entries[best];
    if (distance(e) < distance(b) || (distance(e) == distance(b) && e.Bits() > b.Bits())) best = i;
  }
  return entries[best];
}

uint16_t ChooseIconId(Bytes directory, bool icon, int cx, int cy) {
  const auto group = ReadIconDirectory(directory);
  if (!group || group->cursor == icon || group->entries.empty()) return 0;
  return ChooseIconEntry(*group, cx, cy).id;
}

}  // namespace orvex
