// WAVE sounds: the header check of the RIFF 'WAVE' form through the bounds-checked reader,
// then decoding of the checked bytes with libsndfile to interleaved 16-bit samples.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/byte_reader.h"
#include "base/expected.h"

namespace orvex {

inline constexpr uint16_t WAVE_FORMAT_PCM = 1;

// Bounds on what a sound may claim.
inline constexpr uint16_t kMaxWavChannels = 8;
inline constexpr uint32_t kMaxWavSampleRate = 384000;

struct WavInfo {
  uint16_t formatTag = 0;
  uint16_t channels = 0;
  uint32_t sampleRate = 0;
  uint16_t bitsPerSample = 0;
  uint16_t blockAlign = 0;
  size_t dataOffset = 0;  // of the data chunk's body in the file
  size_t dataSize = 0;
  size_t riffSize = 0;      // bytes of the file the RIFF form covers, its header included
  uint64_t frameCount = 0;  // dataSize / blockAlign
};

// Checks the RIFF WAVE header: PCM at 8, 16, 24 or 32 bits, a sane channel count and rate,
// a block size that matches them, and a data chunk inside the bytes.
Expected<WavInfo> ReadWavInfo(Bytes file);

// A decoded sound: interleaved 16-bit samples (channels per frame).
struct Sound {
  uint32_t sampleRate = 0;
  uint16_t channels = 0;
  std::vector<int16_t> samples;
};

// Checks `file` and decodes it.
Expected<Sound> DecodeWav(Bytes file);

}  // namespace orvex
