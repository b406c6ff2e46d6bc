// Frames of AVI clips decoded with FFmpeg, one at a time, as BGRA pixels. Only clips that
// pass the header check reach the library, through its AVI demuxer named explicitly (no
// format probing) and reading from memory; only the codecs the caller accepts are decoded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

#include "base/byte_reader.h"
#include "base/expected.h"
#include "platform/gdi/image.h"
#include "platform/media/avi_file.h"

namespace orvex {

enum class VideoCodec : uint8_t {
  Raw,       // uncompressed (BI_RGB)
  Rle8,      // run-length encoded 8 bits (BI_RLE8)
  MsVideo1,  // 'CRAM' / 'MSVC'
  Cinepak,   // 'cvid'
};

// A set of codecs a caller accepts.
class VideoCodecs {
 public:
  constexpr VideoCodecs(std::initializer_list<VideoCodec> codecs) {
    for (VideoCodec codec : codecs) bits_ |= Bit(codec);
  }
  constexpr bool Contains(VideoCodec codec) const { return (bits_ & Bit(codec)) != 0; }

 private:
  static constexpr uint32_t Bit(VideoCodec codec) { return 1u << static_cast<unsigned>(codec); }
  uint32_t bits_ = 0;
};

class AviDecoder {
 public:
  // Checks the clip, opens its first video stream and refuses it when its codec is not
  // one of `accepted`. The decoder keeps the bytes.
  static Expected<std::unique_ptr<AviDecoder>> Open(std::vector<std::byte> file,
                                                    VideoCodecs accepted);
  ~AviDecoder();
  AviDecoder(const AviDecoder&) = delete;
  AviDecoder& operator=(const AviDecoder&) = delete;

  const AviInfo& Info() const;
  VideoCodec Codec() const;
  // The index the next call of NextFrame returns.
  uint32_t NextFrameIndex() const;

  // The next frame (width × height of the clip, alpha 255); nullopt after the last.
  Expected<std::optional<Pixels>> NextFrame();
  // Starts again at the first frame, with the decoder's state reset.
  Expected<void> Rewind();

 private:
  struct State;
  explicit AviDecoder(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
};

}  // namespace orvex
