// Compiled resource files (.res) as resource compilers write them: an empty 32-byte
// record first, then one record per resource, each a header (data size, header size, type,
// name, data version, memory flags, language, version, characteristics) and the data,
// both padded to a multiple of four bytes. Types and names are 0xFFFF and a number, or
// zero-terminated UTF-16 text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/byte_reader.h"
#include "base/expected.h"

namespace orvex {

// A type or name as stored: a number, or a name.
struct ResFileId {
  bool named = false;
  uint16_t number = 0;
  std::u16string name;

  friend bool operator==(const ResFileId&, const ResFileId&) = default;
};

struct ResFileRecord {
  ResFileId type;
  ResFileId name;
  uint16_t language = 0;
  uint16_t memoryFlags = 0;
  uint32_t dataVersion = 0;
  uint32_t version = 0;
  uint32_t characteristics = 0;
  uint32_t size = 0;    // as the header declares it
  bool inFile = false;  // false when the declared data runs past the end of the file
  Bytes data;           // the data when inFile, else empty
};

// Whether `file` starts with the empty record that opens every compiled resource file.
bool IsResFile(Bytes file);

// The resource records of a compiled resource file, the empty ones (type 0) left out.
// A record whose header runs past the end ends the list; one whose data does is kept with
// inFile false, so a truncated file still lists what it declares. Fails only when the
// file does not start like a compiled resource file, or a header is malformed (a header
// size too small for its fields).
Expected<std::vector<ResFileRecord>> ParseResFile(Bytes file);

}  // namespace orvex
