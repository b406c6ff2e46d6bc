// On-disk layouts of the PE headers and the resource directory, as published in the
// PE/COFF format description. Little-endian, packed; read only through ByteReader.
#pragma once

#include <cstdint>

namespace orvex::pe {

inline constexpr uint16_t kDosMagic = 0x5A4D;     // "MZ"
inline constexpr uint32_t kNtSignature = 0x4550;  // "PE\0\0"
inline constexpr uint16_t kNeSignature = 0x454E;  // "NE" (16-bit Windows)
inline constexpr uint16_t kLeSignature = 0x454C;  // "LE" (VxD, OS/2 2.x)
inline constexpr uint16_t kLxSignature = 0x584C;  // "LX"
inline constexpr uint16_t kPe32Magic = 0x10B;
inline constexpr uint16_t kPe32PlusMagic = 0x20B;
inline constexpr uint32_t kDosLfanewOffset = 0x3C;  // IMAGE_DOS_HEADER.e_lfanew
inline constexpr uint32_t kResourceDataDirectory = 2;

#pragma pack(push, 1)

// IMAGE_FILE_HEADER
struct FileHeader {
  uint16_t machine;
  uint16_t numberOfSections;
  uint32_t timeDateStamp;
  uint32_t pointerToSymbolTable;
  uint32_t numberOfSymbols;
  uint16_t sizeOfOptionalHeader;
  uint16_t characteristics;
};
static_assert(sizeof(FileHeader) == 20);

// IMAGE_DATA_DIRECTORY
struct DataDirectory {
  uint32_t virtualAddress;
  uint32_t size;
};
static_assert(sizeof(DataDirectory) == 8);

// Offsets inside IMAGE_OPTIONAL_HEADER32 / IMAGE_OPTIONAL_HEADER64 of the fields read here.
inline constexpr uint32_t kPe32NumberOfRvaAndSizes = 92;
inline constexpr uint32_t kPe32DataDirectories = 96;
inline constexpr uint32_t kPe32PlusNumberOfRvaAndSizes = 108;
inline constexpr uint32_t kPe32PlusDataDirectories = 112;
inline constexpr uint32_t kOptionalSizeOfHeaders = 60;  // same place in both forms

// IMAGE_SECTION_HEADER
struct SectionHeader {
  char name[8];
  uint32_t virtualSize;
  uint32_t virtualAddress;
  uint32_t sizeOfRawData;
  uint32_t pointerToRawData;
  uint32_t pointerToRelocations;
  uint32_t pointerToLinenumbers;
  uint16_t numberOfRelocations;
  uint16_t numberOfLinenumbers;
  uint32_t characteristics;
};
static_assert(sizeof(SectionHeader) == 40);

// IMAGE_RESOURCE_DIRECTORY, followed by its named entries, then its numbered entries.
struct ResourceDirectoryHeader {
  uint32_t characteristics;
  uint32_t timeDateStamp;
  uint16_t majorVersion;
  uint16_t minorVersion;
  uint16_t numberOfNamedEntries;
  uint16_t numberOfIdEntries;
};
static_assert(sizeof(ResourceDirectoryHeader) == 16);

// IMAGE_RESOURCE_DIRECTORY_ENTRY: high bit of `name` = offset of an
// IMAGE_RESOURCE_DIR_STRING_U (WORD length, WCHAR text[length]); otherwise a number.
// High bit of `offsetToData` = offset of a subdirectory; otherwise of a data entry.
struct ResourceDirectoryEntry {
  uint32_t name;
  uint32_t offsetToData;
};
static_assert(sizeof(ResourceDirectoryEntry) == 8);
inline constexpr uint32_t kHighBit = 0x80000000u;

// IMAGE_RESOURCE_DATA_ENTRY: `offsetToData` is an RVA, not a resource-area offset.
struct ResourceDataEntry {
  uint32_t offsetToData;
  uint32_t size;
  uint32_t codePage;
  uint32_t reserved;
};
static_assert(sizeof(ResourceDataEntry) == 16);

#pragma pack(pop)

}  // namespace orvex::pe
