#include "platform/module/pe_image.h"

#include <algorithm>

#include "platform/module/pe_format.h"

namespace orvex {

Expected<PeImage> PeImage::Parse(Bytes file) {
  ByteReader reader(file);
  auto dosMagic = reader.ReadAt<uint16_t>(0);
  if (!dosMagic || *dosMagic != pe::kDosMagic) return Error{"no DOS header (MZ)"};
  auto lfanew = reader.ReadAt<uint32_t>(pe::kDosLfanewOffset);
  if (!lfanew) return Error{"DOS header is truncated"};
  auto shortSignature = reader.ReadAt<uint16_t>(*lfanew);
  if (!shortSignature) return Error{"the new header offset lies past the end"};
  if (*shortSignature == pe::kNeSignature) return Error{"a 16-bit NE module, not a PE image"};
  if (*shortSignature == pe::kLeSignature || *shortSignature == pe::kLxSignature)
    return Error{"an LE/LX module, not a PE image"};
  auto signature = reader.ReadAt<uint32_t>(*lfanew);
  if (!signature || *signature != pe::kNtSignature) return Error{"no PE signature"};

  ORVEX_TRY(reader.Seek(*lfanew + size_t{4}));
  auto fileHeader = reader.Read<pe::FileHeader>();
  if (!fileHeader) return fileHeader.GetError().In("file header");
  size_t optionalStart = reader.Position();
  auto optionalBytes = reader.ReadBytes(fileHeader->sizeOfOptionalHeader);
  if (!optionalBytes) return optionalBytes.GetError().In("optional header");
  ByteReader optional(*optionalBytes);
  auto magic = optional.ReadAt<uint16_t>(0);
  if (!magic) return Error{"optional header is too short"};

  PeImage image;
  image.file_ = file;
  image.machine_ = fileHeader->machine;
  uint32_t countOffset = 0;
  uint32_t directoriesOffset = 0;
  if (*magic == pe::kPe32Magic) {
    countOffset = pe::kPe32NumberOfRvaAndSizes;
    directoriesOffset = pe::kPe32DataDirectories;
  } else if (*magic == pe::kPe32PlusMagic) {
    image.pe32Plus_ = true;
    countOffset = pe::kPe32PlusNumberOfRvaAndSizes;
    directoriesOffset = pe::kPe32PlusDataDirectories;
  } else {
    return Error{"unknown optional header magic " + std::to_string(*magic)};
  }
  auto rvaCount = optional.ReadAt<uint32_t>(countOffset);
  if (!rvaCount) return Error{"optional header is too short for its data directories"};
  auto sizeOfHeaders = optional.ReadAt<uint32_t>(pe::kOptionalSizeOfHeaders);
  image.sizeOfHeaders_ = sizeOfHeaders ? *sizeOfHeaders : 0;

  // The section table follows the optional header whatever its declared size.
  ORVEX_TRY(reader.Seek(optionalStart + fileHeader->sizeOfOptionalHeader));
  auto table = reader.ReadArray(fileHeader->numberOfSections, sizeof(pe::SectionHeader));
  if (!table) return table.GetError().In("section table");
  ByteReader sections(*table);
  image.sections_.reserve(fileHeader->numberOfSections);
  for (uint16_t i = 0; i < fileHeader->numberOfSections; ++i) {
    auto header = sections.Read<pe::SectionHeader>();
    if (!header) return header.GetError().In("section " + std::to_string(i));
    Section section{header->virtualAddress, header->virtualSize, header->pointerToRawData, 0};
    if (header->pointerToRawData < file.size())
      section.rawSize = static_cast<uint32_t>(
          std::min<size_t>(header->sizeOfRawData, file.size() - header->pointerToRawData));
    image.sections_.push_back(section);
  }

  // A missing or unmappable resource directory is a module without resources.
  if (*rvaCount > pe::kResourceDataDirectory) {
    auto directory = optional.ReadAt<pe::DataDirectory>(
        directoriesOffset + pe::kResourceDataDirectory * sizeof(pe::DataDirectory));
    if (directory && directory->virtualAddress != 0) {
      if (auto start = image.RvaToOffset(directory->virtualAddress, 1)) {
        size_t end = file.size();
        for (const Section& section : image.sections_) {
          if (*start >= section.rawOffset && *start - section.rawOffset < section.rawSize) {
            end = size_t{section.rawOffset} + section.rawSize;
            break;
          }
        }
        if (end > *start) image.resourceArea_ = file.subspan(*start, end - *start);
      }
    }
  }
  return image;
}

std::optional<uint32_t> PeImage::RvaToOffset(uint32_t rva, uint32_t size) const {
  for (const Section& section : sections_) {
    uint64_t span = std::max(section.virtualSize, section.rawSize);
    if (section.rawSize != 0 && rva >= section.virtualAddress &&
        uint64_t{rva} - section.virtualAddress < span) {
      uint64_t delta = uint64_t{rva} - section.virtualAddress;
      if (delta + size > section.rawSize) return std::nullopt;
      return static_cast<uint32_t>(section.rawOffset + delta);
    }
  }
  // Bytes in the headers map one to one.
  if (uint64_t{rva} + size <= std::min<uint64_t>(sizeOfHeaders_, file_.size())) return rva;
  return std::nullopt;
}

}  // namespace orvex
