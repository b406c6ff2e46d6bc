#include "platform/module/resource_tree.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "platform/module/language_preference.h"
#include "platform/module/pe_format.h"
#include "platform/text/text.h"

namespace orvex {

namespace {

constexpr size_t kHeaderSize = sizeof(pe::ResourceDirectoryHeader);
constexpr size_t kEntrySize = sizeof(pe::ResourceDirectoryEntry);
constexpr uint32_t kOffsetMask = 0x7FFFFFFFu;
constexpr uint16_t kIndexedNames = 8;

struct Candidate {
  uint32_t offset;
  uint32_t owner;  // index into the children table of the entry leading here
};
constexpr uint32_t kNoOwner = 0xFFFFFFFFu;

struct Interval {
  uint64_t begin;
  uint64_t end;
};

}  // namespace

ResourceKey ResourceKey::Name(std::u16string_view name) {
  ResourceKey key;
  key.named = true;
  key.folded.reserve(name.size());
  for (char16_t unit : name) key.folded.push_back(UpperCase(unit));
  return key;
}

ResourceTree ResourceTree::Build(const PeImage& image) {
  ResourceTree tree;
  tree.image_ = &image;
  tree.area_ = image.ResourceArea();
  ByteReader area(tree.area_);

  // Level by level: candidates of a level are taken in offset order and accepted when
  // their header and entries fit and overlap no directory accepted so far. A directory
  // reached from several entries belongs to the first; the others lead nowhere.
  std::vector<Candidate> candidates{{0, kNoOwner}};
  std::vector<Interval> taken;  // sorted by begin, disjoint
  // Comparing names to detect sorted directories is bounded by the area's size.
  size_t budget = 16 * tree.area_.size() + 65536;
  for (uint8_t level = kTypes; level <= kLanguages && !candidates.empty(); ++level) {
    std::sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
      return a.offset != b.offset ? a.offset < b.offset : a.owner < b.owner;
    });
    std::vector<Interval> added;
    size_t firstNew = tree.dirs_.size();
    for (const Candidate& candidate : candidates) {
      auto header = area.ReadAt<pe::ResourceDirectoryHeader>(candidate.offset);
      if (!header) continue;
      size_t fits = (tree.area_.size() - candidate.offset - kHeaderSize) / kEntrySize;
      uint32_t declared = uint32_t{header->numberOfNamedEntries} + header->numberOfIdEntries;
      Dir dir{candidate.offset,
              static_cast<uint32_t>(std::min<size_t>(declared, fits)),
              kNoChildren,
              0,
              level,
              false,
              kNoIndex,
              0};
      dir.named =
          static_cast<uint16_t>(std::min<uint32_t>(header->numberOfNamedEntries, dir.count));
      Interval span{dir.offset,
                    uint64_t{dir.offset} + kHeaderSize + uint64_t{dir.count} * kEntrySize};
      if (!added.empty() && span.begin < added.back().end) continue;
      // Against earlier levels: the neighbours of our start among the taken intervals.
      auto next = std::lower_bound(taken.begin(), taken.end(), span.begin,
                                   [](const Interval& i, uint64_t at) { return i.begin < at; });
      if (next != taken.end() && next->begin < span.end) continue;
      if (next != taken.begin() && (next - 1)->end > span.begin) continue;
      if (candidate.owner != kNoOwner)
        tree.children_[candidate.owner] = static_cast<uint32_t>(tree.dirs_.size() + 1);
      tree.dirs_.push_back(dir);
      added.push_back(span);
    }
    candidates.clear();
    for (size_t d = firstNew; d < tree.dirs_.size(); ++d) {
      Dir& dir = tree.dirs_[d];
      dir.sorted = tree.CheckSorted(dir, budget);
      // Unsorted directories need the index to avoid linear searches; large named parts
      // use it because hashing beats comparing names at every step of a binary search.
      if (!dir.sorted || dir.named > kIndexedNames) tree.IndexKeys(dir, budget);
      if (level == kLanguages) continue;
      dir.firstChild = static_cast<uint32_t>(tree.children_.size());
      tree.children_.resize(tree.children_.size() + dir.count, 0);
      for (uint32_t i = 0; i < dir.count; ++i) {
        auto entry = area.ReadAt<pe::ResourceDirectoryEntry>(dir.offset + kHeaderSize +
                                                             size_t{i} * kEntrySize);
        if (entry && (entry->offsetToData & pe::kHighBit) != 0)
          candidates.push_back({entry->offsetToData & kOffsetMask, dir.firstChild + i});
      }
    }
    std::vector<Interval> merged;
    merged.reserve(taken.size() + added.size());
    std::merge(taken.begin(), taken.end(), added.begin(), added.end(), std::back_inserter(merged),
               [](const Interval& a, const Interval& b) { return a.begin < b.begin; });
    taken = std::move(merged);
  }
  return tree;
}

std::optional<ResourceTree::DirId> ResourceTree::Root() const {
  if (dirs_.empty() || dirs_[0].offset != 0 || dirs_[0].level != kTypes) return std::nullopt;
  return 0;
}

std::optional<ResourceTree::DirId> ResourceTree::Subdirectory(const ResourceEntry& entry) const {
  if (entry.child == 0) return std::nullopt;
  return entry.child - 1;
}

std::optional<ResourceEntry> ResourceTree::ReadEntry(const Dir& dir, uint32_t index) const {
  uint32_t offset = static_cast<uint32_t>(dir.offset + kHeaderSize + size_t{index} * kEntrySize);
  auto raw = ByteReader(area_).ReadAt<pe::ResourceDirectoryEntry>(offset);
  if (!raw) return std::nullopt;
  ResourceEntry entry;
  entry.offset = offset;
  entry.named = (raw->name & pe::kHighBit) != 0;
  if (entry.named) {
    entry.nameOffset = raw->name & kOffsetMask;
  } else {
    if (raw->name > 0xFFFF) return std::nullopt;  // not a valid number
    entry.id = static_cast<WORD>(raw->name);
  }
  entry.directory = (raw->offsetToData & pe::kHighBit) != 0;
  entry.target = raw->offsetToData & kOffsetMask;
  if (entry.directory && dir.firstChild != kNoChildren)
    entry.child = children_[dir.firstChild + index];
  return entry;
}

bool ResourceTree::IsLive(const Dir& dir, const ResourceEntry& entry) const {
  ByteReader area(area_);
  if (entry.named) {
    auto length = area.ReadAt<uint16_t>(entry.nameOffset);
    if (!length || !area.SliceAt(size_t{entry.nameOffset} + 2, size_t{*length} * 2)) return false;
  }
  if (dir.level < kLanguages) return entry.child != 0;
  return !entry.directory && area.SliceAt(entry.target, sizeof(pe::ResourceDataEntry)).HasValue();
}

std::optional<int> ResourceTree::CompareName(uint32_t nameOffset,
                                             std::u16string_view folded) const {
  ByteReader area(area_);
  auto length = area.ReadAt<uint16_t>(nameOffset);
  if (!length) return std::nullopt;
  auto units = area.SliceAt(size_t{nameOffset} + 2, size_t{*length} * 2);
  if (!units) return std::nullopt;
  // Units are copied out of the checked slice in chunks, then compared in folded form.
  ByteReader text(*units);
  size_t common = std::min<size_t>(*length, folded.size());
  char16_t chunk[64];
  for (size_t done = 0; done < common;) {
    size_t count = std::min<size_t>(common - done, std::size(chunk));
    auto bytes = text.ReadArray(count, sizeof(char16_t));
    if (!bytes) return std::nullopt;
    std::memcpy(chunk, bytes->data(), count * sizeof(char16_t));
    for (size_t i = 0; i < count; ++i) {
      char16_t unit = UpperCase(chunk[i]);
      if (unit != folded[done + i]) return unit < folded[done + i] ? -1 : 1;
    }
    done += count;
  }
  if (*length == folded.size()) return 0;
  return *length < folded.size() ? -1 : 1;
}

std::optional<int> ResourceTree::CompareNames(uint32_t left, uint32_t right, size_t& budget) const {
  ByteReader area(area_);
  auto leftLength = area.ReadAt<uint16_t>(left);
  auto rightLength = area.ReadAt<uint16_t>(right);
  if (!leftLength || !rightLength) return std::nullopt;
  auto leftUnits = area.SliceAt(size_t{left} + 2, size_t{*leftLength} * 2);
  auto rightUnits = area.SliceAt(size_t{right} + 2, size_t{*rightLength} * 2);
  if (!leftUnits || !rightUnits) return std::nullopt;
  size_t common = std::min<size_t>(*leftLength, *rightLength);
  if (common > budget) return std::nullopt;
  budget -= common;
  ByteReader a(*leftUnits);
  ByteReader b(*rightUnits);
  for (size_t i = 0; i < common; ++i) {
    char16_t x = UpperCase(*a.Read<char16_t>());
    char16_t y = UpperCase(*b.Read<char16_t>());
    if (x != y) return x < y ? -1 : 1;
  }
  if (*leftLength == *rightLength) return 0;
  return *leftLength < *rightLength ? -1 : 1;
}

// Sorted means: the declared named entries all carry names, in strictly ascending
// folded order, and the numbered entries after them strictly ascend. Anything else is
// searched linearly.
bool ResourceTree::CheckSorted(const Dir& dir, size_t& budget) const {
  std::optional<ResourceEntry> previous;
  for (uint32_t i = 0; i < dir.count; ++i) {
    auto entry = ReadEntry(dir, i);
    if (!entry || entry->named != (i < dir.named)) return false;
    if (previous) {
      if (entry->named) {
        auto order = CompareNames(previous->nameOffset, entry->nameOffset, budget);
        if (!order || *order >= 0) return false;
      } else if (previous->named == false && previous->id >= entry->id) {
        return false;
      }
    }
    previous = entry;
  }
  return true;
}

bool ResourceTree::ForEachImpl(DirId id, Thunk thunk, void* context) const {
  if (id >= dirs_.size()) return true;
  const Dir* dir = &dirs_[id];
  for (uint32_t i = 0; i < dir->count; ++i) {
    auto entry = ReadEntry(*dir, i);
    if (entry && entry->named && IsLive(*dir, *entry) && !thunk(context, *entry)) return false;
  }
  if (dir->sorted) {
    for (uint32_t i = dir->named; i < dir->count; ++i) {
      auto entry = ReadEntry(*dir, i);
      if (entry && IsLive(*dir, *entry) && !thunk(context, *entry)) return false;
    }
    return true;
  }
  std::vector<ResourceEntry> numbered;
  for (uint32_t i = 0; i < dir->count; ++i) {
    auto entry = ReadEntry(*dir, i);
    if (entry && !entry->named && IsLive(*dir, *entry)) numbered.push_back(*entry);
  }
  std::stable_sort(numbered.begin(), numbered.end(),
                   [](const ResourceEntry& a, const ResourceEntry& b) { return a.id < b.id; });
  for (const ResourceEntry& entry : numbered)
    if (!thunk(context, entry)) return false;
  return true;
}

namespace {

constexpr uint32_t kFnvBasis = 2166136261u;
constexpr uint32_t kFnvPrime = 16777619u;
constexpr uint32_t kNamedSeed = 0x9E3779B9u;

uint32_t HashUnit(uint32_t hash, char16_t unit) {
  hash = (hash ^ (unit & 0xFF)) * kFnvPrime;
  return (hash ^ (unit >> 8)) * kFnvPrime;
}

uint32_t HashNumber(WORD id) {
  return HashUnit(kFnvBasis, id);
}

}  // namespace

ResourceTree::NameHash ResourceTree::HashName(uint32_t nameOffset, size_t& budget) const {
  ByteReader area(area_);
  auto length = area.ReadAt<uint16_t>(nameOffset);
  if (!length) return {};
  auto units = area.SliceAt(size_t{nameOffset} + 2, size_t{*length} * 2);
  if (!units) return {};
  if (*length > budget) return {true, std::nullopt};
  budget -= *length;
  ByteReader text(*units);
  uint32_t hash = kFnvBasis ^ kNamedSeed;
  char16_t chunk[64];
  for (size_t done = 0; done < *length;) {
    size_t count = std::min<size_t>(*length - done, std::size(chunk));
    auto bytes = text.ReadArray(count, sizeof(char16_t));
    if (!bytes) return {};
    std::memcpy(chunk, bytes->data(), count * sizeof(char16_t));
    for (size_t i = 0; i < count; ++i) hash = HashUnit(hash, UpperCase(chunk[i]));
    done += count;
  }
  return {false, hash};
}

void ResourceTree::IndexKeys(Dir& dir, size_t& budget) {
  size_t start = keys_.size();
  for (uint32_t i = 0; i < dir.count; ++i) {
    auto entry = ReadEntry(dir, i);
    if (!entry) continue;
    uint32_t hash = HashNumber(entry->id);
    if (entry->named) {
      NameHash named = HashName(entry->nameOffset, budget);
      if (named.outOfBudget) {
        keys_.resize(start);  // the directory is searched without an index
        return;
      }
      if (!named.hash) continue;  // a name past the end is never found
      hash = *named.hash;
    }
    keys_.push_back({hash, i});
  }
  std::sort(keys_.begin() + static_cast<std::ptrdiff_t>(start), keys_.end(),
            [](const KeyHash& a, const KeyHash& b) {
              return a.hash != b.hash ? a.hash < b.hash : a.entry < b.entry;
            });
  dir.keyIndex = static_cast<uint32_t>(start);
  dir.keyCount = static_cast<uint32_t>(keys_.size() - start);
}

std::optional<ResourceEntry> ResourceTree::FindIn(const Dir& dir, const ResourceKey& key) const {
  auto matches = [&](const std::optional<ResourceEntry>& entry) {
    if (!entry || entry->named != key.named) return false;
    bool same = key.named ? CompareName(entry->nameOffset, key.folded) == 0 : entry->id == key.id;
    return same && IsLive(dir, *entry);
  };
  if (dir.keyIndex != kNoIndex && (key.named || !dir.sorted)) {
    uint32_t hash = HashNumber(key.id);
    if (key.named) {
      hash = kFnvBasis ^ kNamedSeed;
      for (char16_t unit : key.folded) hash = HashUnit(hash, unit);
    }
    auto begin = keys_.begin() + dir.keyIndex;
    auto end = begin + dir.keyCount;
    auto it =
        std::lower_bound(begin, end, hash, [](const KeyHash& k, uint32_t h) { return k.hash < h; });
    for (; it != end && it->hash == hash; ++it) {
      auto entry = ReadEntry(dir, it->entry);
      if (matches(entry)) return entry;
    }
    return std::nullopt;
  }
  if (dir.sorted) {
    uint32_t low = key.named ? 0 : dir.named;
    uint32_t high = key.named ? dir.named : dir.count;
    while (low < high) {
      uint32_t middle = low + (high - low) / 2;
      auto entry = ReadEntry(dir, middle);
      if (!entry) return std::nullopt;
      int order = 0;
      if (key.named) {
        auto compared = CompareName(entry->nameOffset, key.folded);
        if (!compared) return std::nullopt;
        order = *compared;
      } else {
        order = entry->id < key.id ? -1 : (entry->id > key.id ? 1 : 0);
      }
      if (order == 0) {
        if (IsLive(dir, *entry)) return entry;
        return std::nullopt;
      }
      if (order < 0)
        low = middle + 1;
      else
        high = middle;
    }
    return std::nullopt;
  }
  for (uint32_t i = 0; i < dir.count; ++i) {
    auto entry = ReadEntry(dir, i);
    if (matches(entry)) return entry;
  }
  return std::nullopt;
}

std::optional<ResourceEntry> ResourceTree::Find(DirId id, const ResourceKey& key) const {
  if (id >= dirs_.size()) return std::nullopt;
  return FindIn(dirs_[id], key);
}

std::optional<ResourceEntry> ResourceTree::FindLanguage(DirId id, std::optional<WORD> language,
                                                        WORD uiLanguage) const {
  if (id >= dirs_.size()) return std::nullopt;
  const Dir* dir = &dirs_[id];
  if (language) return FindIn(*dir, ResourceKey::Number(*language));
  for (const WORD preferred : PreferredResourceLanguages(uiLanguage)) {
    if (auto entry = FindIn(*dir, ResourceKey::Number(preferred))) return entry;
  }
  std::optional<ResourceEntry> lowest;
  for (uint32_t i = 0; i < dir->count; ++i) {
    auto entry = ReadEntry(*dir, i);
    if (!entry || entry->named || !IsLive(*dir, *entry)) continue;
    if (!lowest || entry->id < lowest->id) lowest = entry;
    if (dir->sorted) break;  // the first live number is the lowest
  }
  return lowest;
}

std::u16string ResourceTree::Name(const ResourceEntry& entry) const {
  ByteReader area(area_);
  auto length = area.ReadAt<uint16_t>(entry.nameOffset);
  if (!length || !area.Seek(size_t{entry.nameOffset} + 2)) return {};
  auto text = area.ReadU16String(*length);
  return text ? std::move(*text) : std::u16string{};
}

ResourceData ResourceTree::Data(uint32_t dataEntry) const {
  ResourceData data;
  auto raw = ByteReader(area_).ReadAt<pe::ResourceDataEntry>(dataEntry);
  if (!raw) return data;
  data.rva = raw->offsetToData;
  data.size = raw->size;
  data.codePage = raw->codePage;
  if (auto offset = image_->RvaToOffset(raw->offsetToData, raw->size)) {
    data.inFile = true;
    data.bytes = image_->File().subspan(*offset, raw->size);
  }
  return data;
}

}  // namespace orvex
