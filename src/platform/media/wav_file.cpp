#include "platform/media/wav_file.h"

#include "platform/media/codec_libraries.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>

#include "platform/media/riff.h"

namespace orvex {
namespace {

// WAVEFORMAT + wBitsPerSample (PCMWAVEFORMAT), the start of every "fmt " chunk:
//   WORD wFormatTag, nChannels; DWORD nSamplesPerSec, nAvgBytesPerSec;
//   WORD nBlockAlign, wBitsPerSample;
struct PcmFormat {
  uint16_t formatTag;
  uint16_t channels;
  uint32_t samplesPerSec;
  uint32_t avgBytesPerSec;
  uint16_t blockAlign;
  uint16_t bitsPerSample;
};
static_assert(sizeof(PcmFormat) == 16);

// libsndfile reads through these callbacks from a span of checked bytes.
struct MemoryFile {
  Bytes bytes;
  sf_count_t position = 0;
};

sf_count_t Length(void* user) {
  return static_cast<sf_count_t>(static_cast<MemoryFile*>(user)->bytes.size());
}

sf_count_t Seek(sf_count_t offset, int whence, void* user) {
  auto* file = static_cast<MemoryFile*>(user);
  const auto size = static_cast<sf_count_t>(file->bytes.size());
  sf_count_t base = 0;
  if (whence == SEEK_CUR) base = file->position;
  if (whence == SEEK_END) base = size;
  const sf_count_t target = base + offset;
  if (target < 0 || target > size) return -1;
  file->position = target;
  return target;
}

sf_count_t Read(void* out, sf_count_t count, void* user) {
  auto* file = static_cast<MemoryFile*>(user);
  const sf_count_t available = static_cast<sf_count_t>(file->bytes.size()) - file->position;
  const sf_count_t n = std::clamp<sf_count_t>(count, 0, available);
  if (n > 0) std::memcpy(out, file->bytes.data() + file->position, static_cast<size_t>(n));
  file->position += n;
  return n;
}

sf_count_t Write(const void*, sf_count_t, void*) {
  return 0;
}

sf_count_t Tell(void* user) {
  return static_cast<MemoryFile*>(user)->position;
}

}  // namespace

Expected<WavInfo> ReadWavInfo(Bytes file) {
  auto form = ReadRiffForm(file, FourCc("WAVE"));
  if (!form) return form.GetError();
  WavInfo info;
  info.riffSize = 12 + form->body.size();
  ByteReader reader(form->body);
  bool haveFormat = false, haveData = false;
  std::optional<uint32_t> factFrames;
  while (!reader.AtEnd() && !haveData) {
    auto chunk = ReadRiffChunk(reader);
    if (!chunk) return chunk.GetError().In("WAVE form");
    if (chunk->id == FourCc("fmt ") && !haveFormat) {
      ByteReader fields(chunk->body);
      auto format = fields.Read<PcmFormat>();
      if (!format)
        return Error{"format chunk of " + std::to_string(chunk->body.size()) +
                     " bytes is too short"};
      if (format->channels == 0 || format->channels > kMaxWavChannels)
        return Error{std::to_string(format->channels) + " channels"};
      if (format->samplesPerSec == 0 || format->samplesPerSec > kMaxWavSampleRate)
        return Error{"sample rate " + std::to_string(format->samplesPerSec)};
      const uint16_t bits = format->bitsPerSample;
      // The extension after the 16 bytes: cbSize, then (ADPCM) wSamplesPerBlock.
      uint16_t extraSize = 0;
      uint16_t samplesPerBlock = 0;
      if (fields.TryRead(extraSize) && extraSize >= 2) (void)fields.TryRead(samplesPerBlock);
      switch (format->formatTag) {
        case WAVE_FORMAT_PCM:
        case WAVE_FORMAT_IEEE_FLOAT:
        case WAVE_FORMAT_ALAW:
        case WAVE_FORMAT_MULAW: {
          const bool valid = format->formatTag == WAVE_FORMAT_PCM
                                 ? bits == 8 || bits == 16 || bits == 24 || bits == 32
                             : format->formatTag == WAVE_FORMAT_IEEE_FLOAT
                                 ? bits == 32 || bits == 64
                                 : bits == 8;
          if (!valid) return Error{std::to_string(bits) + " bits per sample"};
          if (format->blockAlign != format->channels * (bits / 8))
            return Error{"block size " + std::to_string(format->blockAlign) + " does not match " +
                         std::to_string(format->channels) + " channels of " + std::to_string(bits) +
                         " bits"};
          break;
        }
        case WAVE_FORMAT_ADPCM:
        case WAVE_FORMAT_IMA_ADPCM: {
          if (bits != 4) return Error{std::to_string(bits) + " bits per ADPCM sample"};
          // A block opens with a header per channel (IMA: 4 bytes holding one sample; MS: 7
          // bytes holding two), then two samples per byte and channel: no block holds more.
          const bool ima = format->formatTag == WAVE_FORMAT_IMA_ADPCM;
          const uint32_t header = (ima ? 4u : 7u) * format->channels;
          const uint32_t most =
              format->blockAlign < header
                  ? 0
                  : 2 * (format->blockAlign - header) / format->channels + (ima ? 1 : 2);
          if (samplesPerBlock == 0 || samplesPerBlock > most)
            return Error{"ADPCM block of " + std::to_string(format->blockAlign) + " bytes and " +
                         std::to_string(samplesPerBlock) + " samples"};
          break;
        }
        case WAVE_FORMAT_GSM610:
          if (format->channels != 1 || format->blockAlign != 65)
            return Error{"GSM 6.10 block of " + std::to_string(format->blockAlign) + " bytes"};
          samplesPerBlock = 320;
          break;
        default:
          return Error{"format tag " + std::to_string(format->formatTag) +
                       " is not one the sound decoder plays"};
      }
      info.samplesPerBlock = samplesPerBlock;
      info.formatTag = format->formatTag;
      info.channels = format->channels;
      info.sampleRate = format->samplesPerSec;
      info.bitsPerSample = bits;
      info.blockAlign = format->blockAlign;
      haveFormat = true;
    } else if (chunk->id == FourCc("fact") && chunk->body.size() >= 4) {
      // The length in frames of a compressed sound, its last block's padding left out.
      ByteReader fields(chunk->body);
      factFrames = *fields.Read<uint32_t>();
    } else if (chunk->id == FourCc("data")) {
      if (!haveFormat) return Error{"the data chunk comes before the format chunk"};
      info.dataOffset = 12 + chunk->offset + 8;
      info.dataSize = chunk->body.size();
      haveData = true;
    }
  }
  if (!haveFormat) return Error{"no format chunk"};
  if (!haveData) return Error{"no data chunk"};
  if (info.samplesPerBlock == 0) {
    info.frameCount = info.dataSize / info.blockAlign;
  } else {
    // Whole blocks, then a last short block (ADPCM holds one sample per channel in its
    // header and two per byte after it, which a short block at most reaches).
    const size_t blocks = (info.dataSize + info.blockAlign - 1) / info.blockAlign;
    const uint64_t most = uint64_t{blocks} * info.samplesPerBlock;
    info.frameCount = factFrames ? std::min<uint64_t>(*factFrames, most) : most;
  }
  return info;
}

namespace {

// The samples of a file whose header `info` describes; fails when the decoder refuses the
// bytes or disagrees with the header.
Expected<std::vector<int16_t>> DecodeSamples(Bytes file, const WavInfo& info) {
  if (!Sndfile()) return Error{"the sound library cannot be loaded"};
  // Only the bytes the check accepted reach the library.
  MemoryFile memory{file.first(info.riffSize)};
  SF_VIRTUAL_IO io{Length, Seek, Read, Write, Tell};
  SF_INFO format{};
  SNDFILE* handle = Sndfile()->sf_open_virtual(&io, SFM_READ, &format, &memory);
  if (!handle)
    return Error{std::string("sound decoder refused the bytes: ") +
                 Sndfile()->sf_strerror(nullptr)};
  // A compressed sound's last block may decode to padding beyond the length the header
  // gives: only the header's frames are read.
  if (format.channels != info.channels || format.samplerate != static_cast<int>(info.sampleRate) ||
      format.frames < 0 ||
      (info.samplesPerBlock == 0 && static_cast<uint64_t>(format.frames) > info.frameCount)) {
    Sndfile()->sf_close(handle);
    return Error{"sound decoder disagrees with the header"};
  }
  const sf_count_t frames =
      std::min<sf_count_t>(format.frames, static_cast<sf_count_t>(info.frameCount));
  std::vector<int16_t> samples(static_cast<size_t>(frames) * info.channels);
  const sf_count_t read = Sndfile()->sf_readf_short(handle, samples.data(), frames);
  Sndfile()->sf_close(handle);
  if (read < 0) return Error{"sound decoder failed"};
  samples.resize(static_cast<size_t>(read) * info.channels);
  return samples;
}

}  // namespace

struct Sound::Decoding {
  std::once_flag once;
  std::vector<std::byte> file;  // until decoded
  WavInfo info;
  std::vector<int16_t> samples;
};

Sound::Sound(uint32_t sampleRate, uint16_t channels, std::vector<int16_t> samples)
    : sampleRate_(sampleRate),
      channels_(channels),
      frameCount_(channels ? samples.size() / channels : 0),
      decoding_(std::make_shared<Decoding>()) {
  decoding_->samples = std::move(samples);
}

Expected<Sound> Sound::FromWav(std::vector<std::byte> file) {
  auto info = ReadWavInfo(file);
  if (!info) return info.GetError();
  Sound sound;
  sound.sampleRate_ = info->sampleRate;
  sound.channels_ = info->channels;
  sound.frameCount_ = info->frameCount;
  sound.decoding_ = std::make_shared<Decoding>();
  sound.decoding_->file = std::move(file);
  sound.decoding_->info = *info;
  return sound;
}

const std::vector<int16_t>& Sound::Samples() const {
  static const std::vector<int16_t> none;
  if (!decoding_) return none;
  Decoding& d = *decoding_;
  std::call_once(d.once, [&d] {
    if (d.file.empty()) return;  // made from samples
    if (auto samples = DecodeSamples(d.file, d.info)) d.samples = std::move(*samples);
    d.file = {};
  });
  return d.samples;
}

Expected<Sound> DecodeWav(Bytes file) {
  auto info = ReadWavInfo(file);
  if (!info) return info.GetError();
  auto samples = DecodeSamples(file, *info);
  if (!samples) return samples.GetError();
  return Sound(info->sampleRate, info->channels, std::move(*samples));
}

}  // namespace orvex
