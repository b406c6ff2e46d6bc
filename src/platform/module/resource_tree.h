// The resource directory of a PE image: a three-level tree (type, name, language) read in
// place from the file bytes. Building the tree walks it once and accepts only directories
// that lie wholly inside the resource area, sit at most three levels deep, do not overlap
// a directory accepted before and are reached from exactly one entry. So looping, shared
// or overlapping directories cannot multiply work: everything the tree hands out is
// bounded by the size of the resource area.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "base/byte_reader.h"
#include "platform/module/pe_image.h"
#include "platform/win32_types.h"

namespace orvex {

// A key to look an entry up by: a number, or a name that matches regardless of case.
struct ResourceKey {
  bool named = false;
  WORD id = 0;
  std::u16string folded;  // the name in folded (upper) case

  static ResourceKey Number(WORD value) { return ResourceKey{false, value, {}}; }
  static ResourceKey Name(std::u16string_view name);
};

// One live directory entry. Offsets are relative to the start of the resource area.
struct ResourceEntry {
  uint32_t offset = 0;  // of the 8-byte directory entry itself
  bool named = false;
  WORD id = 0;              // the number when not named
  uint32_t nameOffset = 0;  // of the length-prefixed UTF-16 name when named
  bool directory = false;   // the target is a subdirectory (else a data entry)
  uint32_t target = 0;      // of the subdirectory or the data entry
  uint32_t child = 0;       // 1 + the subdirectory's DirId when it is an accepted one
};

struct ResourceData {
  uint32_t rva = 0;
  uint32_t size = 0;
  uint32_t codePage = 0;
  bool inFile = false;  // false when [rva, rva + size) is not wholly backed by file bytes
  Bytes bytes;          // the data when inFile, else empty
};

class ResourceTree {
 public:
  enum Level : uint8_t { kTypes = 0, kNames = 1, kLanguages = 2 };
  // Names an accepted directory of this tree (an index, not a file offset).
  using DirId = uint32_t;

  // Walks the directory of `image` (which must outlive the tree). Never fails: damaged
  // parts are left out, an image without resources gives an empty tree.
  static ResourceTree Build(const PeImage& image);

  bool Empty() const { return dirs_.empty(); }
  // The root (type) directory, when present.
  std::optional<DirId> Root() const;
  // The subdirectory an entry of a type or name directory leads to.
  std::optional<DirId> Subdirectory(const ResourceEntry& entry) const;

  // Calls `fn(entry)` for every live entry of the directory in the platform's enumeration
  // order: named entries as stored, then numbered ones ascending. Stops and returns false
  // as soon as `fn` returns false.
  template <class Fn>
  bool ForEach(DirId dir, Fn&& fn) const {
    auto thunk = [](void* context, const ResourceEntry& entry) {
      return static_cast<bool>((*static_cast<std::remove_reference_t<Fn>*>(context))(entry));
    };
    return ForEachImpl(dir, thunk, &fn);
  }

  // The entry of `dir` with that key (the first stored, if several): binary search where
  // the directory is sorted, a search of its hash index where not.
  std::optional<ResourceEntry> Find(DirId dir, const ResourceKey& key) const;
  // In a language directory: the entry for `language`, or with no language given the
  // preferred one for the UI language: 0x0000, then `uiLanguage`, then its primary language
  // with the neutral sublanguage, then 0x0409, then 0x0009, then the lowest stored.
  std::optional<ResourceEntry> FindLanguage(DirId dir, std::optional<WORD> language,
                                            WORD uiLanguage = 0x0409) const;

  // The UTF-16 name of a named entry.
  std::u16string Name(const ResourceEntry& entry) const;
  // The data entry at `dataEntry` (the target of a language-level entry).
  ResourceData Data(uint32_t dataEntry) const;

  // Number of accepted directories (for tests of hostile inputs).
  size_t DirectoryCount() const { return dirs_.size(); }

 private:
  struct Dir {
    uint32_t offset;
    uint32_t count;       // entries that fit in the area
    uint32_t firstChild;  // index into children_ of this directory's first entry
    uint16_t named;       // declared named entries, clamped to count
    uint8_t level;
    bool sorted;
    // Where the directory's hash index starts in keys_ (kNoIndex: none).
    uint32_t keyIndex;
    uint32_t keyCount;
  };
  // One entry of an unsorted directory's index: hash of the key, then entry number.
  struct KeyHash {
    uint32_t hash;
    uint32_t entry;
  };
  static constexpr uint32_t kNoIndex = 0xFFFFFFFFu;
  static constexpr uint32_t kNoChildren = 0xFFFFFFFFu;

  using Thunk = bool (*)(void* context, const ResourceEntry& entry);
  bool ForEachImpl(DirId dir, Thunk thunk, void* context) const;
  std::optional<ResourceEntry> ReadEntry(const Dir& dir, uint32_t index) const;
  bool IsLive(const Dir& dir, const ResourceEntry& entry) const;
  // <0, 0, >0 comparing the stored name with a folded key; nothing when unreadable.
  std::optional<int> CompareName(uint32_t nameOffset, std::u16string_view folded) const;
  // The same for two stored names; nothing also when the comparison would exceed
  // `budget` units (decremented as units are compared).
  std::optional<int> CompareNames(uint32_t left, uint32_t right, size_t& budget) const;
  bool CheckSorted(const Dir& dir, size_t& budget) const;
  // Indexes a directory by key hash, so that lookups in unsorted directories stay
  // logarithmic and names are compared once; gives up (leaving a binary or linear search)
  // when hashing names would exceed the budget.
  void IndexKeys(Dir& dir, size_t& budget);
  struct NameHash {
    bool outOfBudget = false;
    std::optional<uint32_t> hash;  // none when the name runs past the end
  };
  NameHash HashName(uint32_t nameOffset, size_t& budget) const;
  std::optional<ResourceEntry> FindIn(const Dir& dir, const ResourceKey& key) const;

  const PeImage* image_ = nullptr;
  Bytes area_;
  std::vector<Dir> dirs_;  // in order of acceptance: the root first, then level by level
  // Per entry of a type or name directory: 1 + the DirId it owns, or 0 when it leads
  // nowhere acceptable.
  std::vector<uint32_t> children_;
  std::vector<KeyHash> keys_;  // per indexed directory, sorted by (hash, entry)
};

}  // namespace orvex
