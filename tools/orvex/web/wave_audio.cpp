// Sounds as a browser plays them: the RIFF form checked by the bounds-checked reader, the
// samples decoded by the sound library from a scratch file and written anew as 16-bit PCM.
#include "web/wave_audio.h"

#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/media/codec_libraries.h"
#include "platform/media/riff.h"
#include "platform/media/wav_file.h"
#include "web/scratch_file.h"

namespace orvex::cli {
namespace {

// At most 64 M samples (128 MB of PCM) in one answer.
constexpr sf_count_t kMaxSamples = sf_count_t{1} << 26;

// A scratch file removed when the conversion ends.
struct Scratch {
  std::string path;
  ~Scratch() {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
  }
};

// A sound file the library opened, closed when it goes.
struct SoundFile {
  SNDFILE* handle;
  ~SoundFile() {
    if (handle) Sndfile()->sf_close(handle);
  }
};

Expected<std::vector<int16_t>> Decode(const std::string& path, SF_INFO& format) {
  const SoundFile in{Sndfile()->sf_open(path.c_str(), SFM_READ, &format)};
  if (!in.handle)
    return Error{std::string("the sound library cannot decode it (") +
                 Sndfile()->sf_strerror(nullptr) + ")"};
  if (format.channels < 1 || format.channels > kMaxWavChannels)
    return Error{std::to_string(format.channels) + " channels"};
  if (format.samplerate < 1 || format.samplerate > static_cast<int>(kMaxWavSampleRate))
    return Error{"sample rate " + std::to_string(format.samplerate)};
  if (format.frames < 0 || format.frames > kMaxSamples / format.channels)
    return Error{"the sound is too long to serve"};
  std::vector<int16_t> samples(static_cast<size_t>(format.frames * format.channels));
  const sf_count_t read = Sndfile()->sf_readf_short(in.handle, samples.data(), format.frames);
  if (read < 0) return Error{"the sound library failed to decode it"};
  samples.resize(static_cast<size_t>(read * format.channels));
  return samples;
}

}  // namespace

Expected<std::string> PcmWavOf(Bytes resource) {
  auto form = ReadRiffForm(resource, FourCc("WAVE"));
  if (!form) return Error{"no RIFF WAVE sound: " + form.GetError().message};
  if (!Sndfile()) return Error{"the sound library cannot be loaded"};
  // Only the bytes of the RIFF form reach the sound library.
  const Scratch input{ScratchFile(".in.wav")};
  {
    std::ofstream out(input.path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(resource.data()),
              static_cast<std::streamsize>(12 + form->body.size()));
    if (!out) return Error{"the sound could not be written to a scratch file"};
  }
  SF_INFO format{};
  auto samples = Decode(input.path, format);
  if (!samples) return samples.GetError();
  const Scratch output{ScratchFile(".out.wav")};
  SF_INFO pcm{};
  pcm.samplerate = format.samplerate;
  pcm.channels = format.channels;
  pcm.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  {
    const SoundFile out{Sndfile()->sf_open(output.path.c_str(), SFM_WRITE, &pcm)};
    const auto count = static_cast<sf_count_t>(samples->size());
    if (!out.handle || Sndfile()->sf_write_short(out.handle, samples->data(), count) != count)
      return Error{"the sound could not be written as PCM"};
  }
  return ReadFile(output.path);
}

}  // namespace orvex::cli
