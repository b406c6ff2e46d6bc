// AVI clips: the header check, then every frame through the decoder with all codecs
// accepted, a rewind and the first frame again.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/media/avi_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto* bytes = reinterpret_cast<const std::byte*>(data);
  auto info = orvex::ReadAviInfo(orvex::Bytes(bytes, size));
  if (!info) return 0;
  auto decoder = orvex::AviDecoder::Open(std::vector<std::byte>(bytes, bytes + size),
                                         {orvex::VideoCodec::Raw, orvex::VideoCodec::Rle8,
                                          orvex::VideoCodec::MsVideo1, orvex::VideoCodec::Cinepak});
  if (!decoder) return 0;
  // Bounded by the bytes: every frame comes from a chunk of at least eight of them.
  for (size_t i = 0; i <= size / 8; ++i) {
    auto frame = (*decoder)->NextFrame();
    if (!frame || !*frame) break;
    const orvex::Pixels& pixels = **frame;
    if (pixels.width != info->width || pixels.height != info->height ||
        pixels.bgra.size() != static_cast<size_t>(pixels.width) * pixels.height)
      __builtin_trap();
  }
  if ((*decoder)->Rewind()) (void)(*decoder)->NextFrame();
  return 0;
}
