// WAVE sounds: the header check and decoding to 16-bit samples, which never give more
// frames than the data chunk holds.
#include <cstddef>
#include <cstdint>

#include "platform/media/wav_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const orvex::Bytes bytes(reinterpret_cast<const std::byte*>(data), size);
  auto info = orvex::ReadWavInfo(bytes);
  auto sound = orvex::DecodeWav(bytes);
  if (sound && (!info || sound->Channels() != info->channels ||
                sound->Samples().size() > info->frameCount * info->channels))
    __builtin_trap();
  return 0;
}
