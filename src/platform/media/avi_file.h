// The header check of AVI clips: the RIFF 'AVI ' form with its main header, stream headers
// and formats and a movie list, read through the bounds-checked reader before any byte of
// the clip reaches a decoder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/byte_reader.h"
#include "base/expected.h"

namespace orvex {

// Bounds on what a clip may claim, so that hostile headers cannot make work or memory
// grow without bound.
inline constexpr size_t kMaxAviStreams = 16;
inline constexpr uint64_t kMaxAviFramePixels = uint64_t{16} * 1024 * 1024;

// Compression values of a video format besides the four-character codes of codecs.
inline constexpr uint32_t kAviCompressionRgb = 0;   // BI_RGB
inline constexpr uint32_t kAviCompressionRle8 = 1;  // BI_RLE8

struct AviStream {
  uint32_t type = 0;     // "vids", "auds", ...
  uint32_t handler = 0;  // the codec's four-character code, or 0
  uint32_t scale = 0;    // rate / scale is the stream's units per second
  uint32_t rate = 0;
  uint32_t start = 0;
  uint32_t length = 0;  // in the stream's units
};

struct AviInfo {
  // Main header ("avih").
  uint32_t microsecondsPerFrame = 0;
  uint32_t flags = 0;
  uint32_t frameCount = 0;
  uint32_t headerWidth = 0;  // as the main header states it; frames use width and height
  uint32_t headerHeight = 0;

  std::vector<AviStream> streams;
  size_t videoStream = 0;  // index into streams of the first video stream
  bool hasAudio = false;

  // The first video stream's format (BITMAPINFOHEADER and colour table).
  int32_t width = 0;
  int32_t height = 0;  // positive; topDown says how uncompressed rows are stored
  bool topDown = false;
  uint16_t bitCount = 0;
  uint32_t compression = 0;       // kAviCompressionRgb, kAviCompressionRle8 or a code
  std::vector<uint32_t> palette;  // 0x00RRGGBB, at most 256 entries

  size_t moviOffset = 0;  // of the movie list's body in the file
  size_t moviSize = 0;
  size_t riffSize = 0;  // bytes of the file the RIFF form covers, its header included
};

// Checks the clip at the start of `file` and returns what its headers say; fails with the
// reason when a chunk is missing, a size runs past its container or a value is out of
// bounds.
Expected<AviInfo> ReadAviInfo(Bytes file);

}  // namespace orvex
