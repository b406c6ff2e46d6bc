// Sounds as a browser plays them: the resource checked and decoded to 16-bit samples by the
// platform's sound functions (every encoding they play), written anew as a PCM WAV file.
#include "web/wave_audio.h"

#include <cstdint>
#include <vector>

#include "platform/media/wav_file.h"

namespace orvex::cli {
namespace {

// At most 64 M samples (128 MB of PCM) in one answer.
constexpr uint64_t kMaxSamples = uint64_t{1} << 26;

void Put(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

Expected<std::string> PcmWavOf(Bytes resource) {
  auto sound = Sound::FromWav(std::vector<std::byte>(resource.begin(), resource.end()));
  if (!sound) return sound.GetError();
  if (sound->FrameCount() * sound->Channels() > kMaxSamples)
    return Error{"the sound is too long to serve"};
  const std::vector<int16_t>& samples = sound->Samples();
  if (samples.empty() && sound->FrameCount() != 0)
    return Error{"the sound library cannot decode it"};
  const uint32_t channels = sound->Channels(), rate = sound->SampleRate();
  const auto dataSize = static_cast<uint32_t>(samples.size() * 2);
  std::string out;
  out.reserve(44 + dataSize);
  out += "RIFF";
  Put(out, 36 + dataSize, 4);
  out += "WAVEfmt ";
  Put(out, 16, 4);
  Put(out, 1, 2);  // PCM
  Put(out, channels, 2);
  Put(out, rate, 4);
  Put(out, rate * channels * 2, 4);  // bytes a second
  Put(out, channels * 2, 2);         // bytes a frame
  Put(out, 16, 2);                   // bits a sample
  out += "data";
  Put(out, dataSize, 4);
  for (const int16_t sample : samples) Put(out, static_cast<uint16_t>(sample), 2);
  return out;
}

}  // namespace orvex::cli
