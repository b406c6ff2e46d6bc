// The headers of a PE image over its file bytes: the checks that make a file a loadable
// module, the section table and the mapping of RVAs to file offsets.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "base/byte_reader.h"

namespace orvex {

class PeImage {
 public:
  struct Section {
    uint32_t virtualAddress;
    uint32_t virtualSize;
    uint32_t rawOffset;
    uint32_t rawSize;  // clamped to the bytes present in the file
  };

  // Checks the DOS header, the NT signature, the file header, the optional header (PE32
  // or PE32+, any machine) and the section table. 16-bit NE and LE/LX files, truncated
  // headers and anything else fail with a message saying why.
  static Expected<PeImage> Parse(Bytes file);

  Bytes File() const { return file_; }
  bool IsPe32Plus() const { return pe32Plus_; }
  uint16_t Machine() const { return machine_; }
  const std::vector<Section>& Sections() const { return sections_; }

  // The file offset of `size` bytes at `rva`, when they lie wholly in one section's raw
  // data (or in the headers); nothing when any byte is not backed by the file.
  std::optional<uint32_t> RvaToOffset(uint32_t rva, uint32_t size) const;
  // The bytes of the resource area from the root directory to the end of the raw data
  // that holds it; empty when the image has no resource directory.
  Bytes ResourceArea() const { return resourceArea_; }

 private:
  Bytes file_;
  bool pe32Plus_ = false;
  uint16_t machine_ = 0;
  uint32_t sizeOfHeaders_ = 0;
  std::vector<Section> sections_;
  Bytes resourceArea_;
};

}  // namespace orvex
