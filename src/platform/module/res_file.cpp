#include "platform/module/res_file.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace orvex {

namespace {

// The empty record's first 16 bytes: no data, a 32-byte header, type 0 and name 0 as
// numbers.
constexpr std::array<uint8_t, 16> kSignature = {0,    0,    0, 0, 0x20, 0,    0, 0,
                                                0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 0, 0};

// A type or name field of a header.
Expected<ResFileId> ReadId(ByteReader& header) {
  uint16_t first = 0;
  if (!header.TryRead(first)) return Error{"type or name runs past the header"};
  ResFileId id;
  if (first == 0xFFFF) {
    if (!header.TryRead(id.number)) return Error{"number runs past the header"};
    return id;
  }
  ORVEX_TRY(header.Seek(header.Position() - 2));
  auto text = header.ReadU16CString();
  if (!text) return Error{"name runs past the header"};
  id.named = true;
  id.name = std::move(*text);
  return id;
}

Expected<ResFileRecord> ReadHeader(Bytes headerBytes, uint32_t dataSize) {
  ByteReader header(headerBytes);
  ORVEX_TRY(header.Skip(8));
  ResFileRecord record;
  record.size = dataSize;
  auto type = ReadId(header);
  if (!type) return type.GetError().In("type");
  auto name = ReadId(header);
  if (!name) return name.GetError().In("name");
  record.type = std::move(*type);
  record.name = std::move(*name);
  header.AlignTo(4);
  if (!header.TryRead(record.dataVersion) || !header.TryRead(record.memoryFlags) ||
      !header.TryRead(record.language) || !header.TryRead(record.version) ||
      !header.TryRead(record.characteristics))
    return Error{"header of " + std::to_string(headerBytes.size()) + " bytes is too short"};
  return record;
}

}  // namespace

bool IsResFile(Bytes file) {
  return file.size() >= kSignature.size() &&
         std::memcmp(file.data(), kSignature.data(), kSignature.size()) == 0;
}

Expected<std::vector<ResFileRecord>> ParseResFile(Bytes file) {
  if (!IsResFile(file)) return Error{"not a compiled resource file"};
  std::vector<ResFileRecord> records;
  ByteReader reader(file);
  while (reader.Remaining() >= 8) {
    const size_t start = reader.Position();
    uint32_t dataSize = 0;
    uint32_t headerSize = 0;
    if (!reader.TryRead(dataSize) || !reader.TryRead(headerSize)) break;
    auto headerBytes = reader.SliceAt(start, headerSize);
    if (!headerBytes) break;  // a truncated header ends the list
    auto record = ReadHeader(*headerBytes, dataSize);
    if (!record) return record.GetError().In("record at offset " + std::to_string(start));
    ORVEX_TRY(reader.Seek(start + headerSize));
    if (auto data = reader.ReadBytes(dataSize)) {
      record->inFile = true;
      record->data = *data;
    } else {
      (void)reader.Seek(reader.Size());
    }
    reader.AlignTo(4);
    const bool empty = !record->type.named && record->type.number == 0;
    if (!empty) records.push_back(std::move(*record));
  }
  return records;
}

}  // namespace orvex
