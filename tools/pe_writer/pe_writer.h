// Builds PE images in memory for tests, benchmarks and fuzz seeds: PE32 or PE32+, any
// machine, with any resource tree (numbered and named types and names, several languages,
// data in the resource section or in other sections). Malformed images come from the same
// writer through the knobs of `Malformation`, never from hand-edited bytes.
//
//   PeWriter writer;
//   writer.Add(ResId(10), ResId(u"CONFIG"), 0x0409, Bytes("abc"));
//   writer.Add(ResId(u"MYTYPE"), ResId(7), 0x0407, {1, 2, 3});
//   std::vector<uint8_t> image = writer.Build();
//   TempDir dir;  std::string path = dir.Write("test.dll", image);
//
// Layout of the resource section (as common linkers write it): all directories level by
// level, then the data entries, then the name strings, then the data kept in the section.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvex::test {

// A resource type, name or language key: a number or a UTF-16 name.
struct ResId {
  ResId(uint16_t number) : id(number) {}  // NOLINT: numbers convert implicitly
  ResId(std::u16string text) : named(true), name(std::move(text)) {}
  ResId(const char16_t* text) : named(true), name(text) {}

  bool named = false;
  uint16_t id = 0;
  std::u16string name;
};

// The bytes of a text without its terminator, for short payloads in tests.
std::vector<uint8_t> Bytes(std::string_view text);

enum class HeaderKind {
  kPe,             // a valid PE image
  kNe,             // a 16-bit NE module behind the DOS stub
  kLe,             // an LE module behind the DOS stub
  kNoDosMagic,     // no "MZ"
  kNoPeSignature,  // "MZ" but the new header is not "PE\0\0"
};

// Ways to damage the image. Defaults build a well-formed image.
struct Malformation {
  HeaderKind header = HeaderKind::kPe;
  // Store entries in the order they were added instead of sorted (named ones still first).
  bool unsorted = false;
  // The first type's entry leads back to the root directory.
  bool typeLoopsToRoot = false;
  // The first language entry claims a subdirectory: the root (a fourth level that loops).
  bool languageLoopsToRoot = false;
  // Every type's entry leads to the first type's name directory.
  bool shareNameDirectory = false;
  // The second type's name directory starts 8 bytes into the first's, so their entries overlap.
  bool overlapNameDirectories = false;
  // Counts written into the root directory's header instead of the true ones.
  std::optional<uint16_t> rootNamedCount;
  std::optional<uint16_t> rootIdCount;
  // The first name string claims 0xFFFF characters, running past the end of the section.
  bool namePastEnd = false;
  // The image is cut to this many bytes at the end.
  std::optional<size_t> truncateTo;
  // No resource data directory at all.
  bool noResourceDirectory = false;
};

class PeWriter {
 public:
  // A PE32+ image (x86-64 machine by default) instead of PE32 (i386).
  PeWriter& Pe32Plus(bool on = true);
  PeWriter& Machine(uint16_t machine);
  // An EXE instead of a DLL.
  PeWriter& Executable(bool on = true);
  PeWriter& Damage(const Malformation& malformation);

  // An extra section after the resource section; returns its number for `Add`'s `section`.
  int AddSection(std::string name, std::vector<uint8_t> bytes = {});

  // Adds a resource. `section` -1 keeps the data in the resource section, otherwise the
  // data is appended to that extra section. A `size` given replaces the data entry's
  // size; `rva` given replaces its RVA (e.g. to point outside the file).
  PeWriter& Add(ResId type, ResId name, uint16_t language, std::vector<uint8_t> data,
                int section = -1, std::optional<uint32_t> size = std::nullopt,
                std::optional<uint32_t> rva = std::nullopt, uint32_t codePage = 0);

  std::vector<uint8_t> Build() const;
  // The same resources as a compiled resource file (.res: a 32-byte empty entry, then one
  // header and DWORD-aligned data per resource), the form resource compilers write and
  // linkers read. Knobs that damage the image have no effect here.
  std::vector<uint8_t> BuildResFile() const;

 private:
  struct Resource {
    ResId type;
    ResId name;
    uint16_t language;
    std::vector<uint8_t> data;
    int section;
    std::optional<uint32_t> size;
    std::optional<uint32_t> rva;
    uint32_t codePage;
  };
  struct Section {
    std::string name;
    std::vector<uint8_t> bytes;
  };
  bool pe32Plus_ = false;
  std::optional<uint16_t> machine_;
  bool executable_ = false;
  Malformation malformation_;
  std::vector<Section> sections_;
  std::vector<Resource> resources_;
};

}  // namespace orvex::test
