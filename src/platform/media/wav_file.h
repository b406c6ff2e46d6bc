// WAVE sounds: the header check of the RIFF 'WAVE' form through the bounds-checked reader,
// then decoding of the checked bytes with libsndfile to interleaved 16-bit samples.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "base/byte_reader.h"
#include "base/expected.h"

namespace orvex {

inline constexpr uint16_t WAVE_FORMAT_PCM = 1;
inline constexpr uint16_t WAVE_FORMAT_ADPCM = 2;
inline constexpr uint16_t WAVE_FORMAT_IEEE_FLOAT = 3;
inline constexpr uint16_t WAVE_FORMAT_ALAW = 6;
inline constexpr uint16_t WAVE_FORMAT_MULAW = 7;
inline constexpr uint16_t WAVE_FORMAT_IMA_ADPCM = 0x11;
inline constexpr uint16_t WAVE_FORMAT_GSM610 = 0x31;

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
  size_t riffSize = 0;           // bytes of the file the RIFF form covers, its header included
  uint16_t samplesPerBlock = 0;  // of a compressed format (ADPCM, GSM 6.10); 0 for the others
  uint64_t frameCount = 0;       // dataSize / blockAlign, or a compressed sound's length
};

// Checks the RIFF WAVE header: a format the decoder plays (PCM at 8, 16, 24 or 32 bits, IEEE
// float at 32 or 64, A-law and mu-law at 8, MS and IMA ADPCM at 4 with their samples per
// block, GSM 6.10), a sane channel count and rate, a block size that matches them, and a
// data chunk inside the bytes. A compressed sound's length is its "fact" chunk's, at most
// what its blocks hold.
Expected<WavInfo> ReadWavInfo(Bytes file);

// A sound: its format and its interleaved 16-bit samples (channels per frame). A sound made
// from a checked WAVE file keeps the file's bytes and decodes them the first time its
// samples are asked for, so that whoever hands it over does not wait for the decoding.
// Copies share one decoding; every member is safe to call from any thread.
class Sound {
 public:
  Sound() = default;
  // A sound already decoded.
  Sound(uint32_t sampleRate, uint16_t channels, std::vector<int16_t> samples);
  // Checks `file`'s header now; the samples are decoded on first use (none when the decoder
  // refuses what the header check accepted).
  static Expected<Sound> FromWav(std::vector<std::byte> file);

  uint32_t SampleRate() const { return sampleRate_; }
  uint16_t Channels() const { return channels_; }
  // Frames as the header states them: known before decoding.
  uint64_t FrameCount() const { return frameCount_; }
  const std::vector<int16_t>& Samples() const;

 private:
  struct Decoding;
  uint32_t sampleRate_ = 0;
  uint16_t channels_ = 0;
  uint64_t frameCount_ = 0;
  std::shared_ptr<Decoding> decoding_;
};

// Checks `file` and decodes it at once; fails when the decoder refuses it.
Expected<Sound> DecodeWav(Bytes file);

}  // namespace orvex
