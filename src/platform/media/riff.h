// Chunks of a RIFF file (AVI clips, WAVE sounds): a four-character id, a 32-bit size and
// the body, padded to an even length. Read through the bounds-checked reader.
#pragma once

#include <cstdint>
#include <string>

#include "base/byte_reader.h"
#include "base/expected.h"

namespace orvex {

// A four-character code as stored: the first character in the lowest byte.
constexpr uint32_t FourCc(const char (&text)[5]) {
  return static_cast<uint32_t>(static_cast<uint8_t>(text[0])) |
         static_cast<uint32_t>(static_cast<uint8_t>(text[1])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(text[2])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(text[3])) << 24;
}

// The code as text for messages, unprintable bytes as '?'.
std::string FourCcText(uint32_t code);

struct RiffChunk {
  uint32_t id = 0;
  uint32_t listType = 0;  // for "RIFF" and "LIST" chunks: the type after the size, else 0
  Bytes body;             // for lists: after the list type
  size_t offset = 0;      // of the chunk's id in the reader's data
};

// Reads the chunk at the reader's position and moves past it and its pad byte (a pad byte
// missing at the very end is allowed). Fails when the size runs past the end.
Expected<RiffChunk> ReadRiffChunk(ByteReader& reader);

// The outer "RIFF" chunk of `file`, of form type `formType` ("AVI ", "WAVE"). Bytes after
// it are ignored.
Expected<RiffChunk> ReadRiffForm(Bytes file, uint32_t formType);

}  // namespace orvex
