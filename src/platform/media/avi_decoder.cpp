#include "platform/media/avi_decoder.h"

#include "platform/media/codec_libraries.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "platform/media/riff.h"

namespace orvex {
namespace {

struct CodecEntry {
  VideoCodec codec;
  AVCodecID id;
};

// The codecs the decoder knows, by FFmpeg's id for what the AVI demuxer maps the format's
// compression to.
constexpr CodecEntry kCodecs[] = {
    {VideoCodec::Raw, AV_CODEC_ID_RAWVIDEO},
    {VideoCodec::Rle8, AV_CODEC_ID_MSRLE},
    {VideoCodec::MsVideo1, AV_CODEC_ID_MSVIDEO1},
    {VideoCodec::Cinepak, AV_CODEC_ID_CINEPAK},
};

constexpr int kIoBufferSize = 4096;

std::string AvErrorText(int error) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  Ffmpeg()->av_strerror(error, text, sizeof text);
  return text;
}

void QuietLibraryLog() {
  static std::once_flag once;
  std::call_once(once, [] { Ffmpeg()->av_log_set_level(AV_LOG_QUIET); });
}

}  // namespace

struct AviDecoder::State {
  std::vector<std::byte> bytes;  // the RIFF form the check accepted, nothing after it
  int64_t position = 0;
  AviInfo info;
  VideoCodec codec = VideoCodec::Raw;
  AVCodecID codecId = AV_CODEC_ID_NONE;
  uint32_t next = 0;
  bool draining = false;

  AVIOContext* io = nullptr;
  AVFormatContext* format = nullptr;
  AVCodecContext* decoder = nullptr;
  AVPacket* packet = nullptr;
  AVFrame* frame = nullptr;
  SwsContext* scaler = nullptr;
  int streamIndex = -1;

  ~State() { Close(); }

  static int ReadPacket(void* user, uint8_t* out, int size) {
    auto* state = static_cast<State*>(user);
    const int64_t available = static_cast<int64_t>(state->bytes.size()) - state->position;
    const int n = static_cast<int>(std::clamp<int64_t>(size, 0, available));
    if (n == 0) return AVERROR_EOF;
    std::memcpy(out, state->bytes.data() + state->position, static_cast<size_t>(n));
    state->position += n;
    return n;
  }

  static int64_t SeekPacket(void* user, int64_t offset, int whence) {
    auto* state = static_cast<State*>(user);
    const auto size = static_cast<int64_t>(state->bytes.size());
    if ((whence & AVSEEK_SIZE) != 0) return size;
    int64_t base = 0;
    switch (whence & ~AVSEEK_FORCE) {
      case SEEK_SET:
        break;
      case SEEK_CUR:
        base = state->position;
        break;
      case SEEK_END:
        base = size;
        break;
      default:
        return AVERROR(EINVAL);
    }
    if (offset > size || offset < -size) return AVERROR(EINVAL);
    const int64_t target = base + offset;
    if (target < 0 || target > size) return AVERROR(EINVAL);
    state->position = target;
    return target;
  }

  void Close() {
    Ffmpeg()->sws_freeContext(scaler);
    scaler = nullptr;
    Ffmpeg()->av_frame_free(&frame);
    Ffmpeg()->av_packet_free(&packet);
    Ffmpeg()->avcodec_free_context(&decoder);
    Ffmpeg()->avformat_close_input(&format);
    if (io) Ffmpeg()->av_freep(&io->buffer);
    Ffmpeg()->avio_context_free(&io);
    streamIndex = -1;
  }

  // Opens the demuxer over the bytes and the decoder of the video stream, from the start.
  Expected<void> Open(VideoCodecs accepted) {
    Close();
    position = 0;
    next = 0;
    draining = false;
    auto* buffer = static_cast<uint8_t*>(Ffmpeg()->av_malloc(kIoBufferSize));
    if (!buffer) return Error{"out of memory"};
    io = Ffmpeg()->avio_alloc_context(buffer, kIoBufferSize, 0, this, ReadPacket, nullptr,
                                      SeekPacket);
    if (!io) {
      Ffmpeg()->av_free(buffer);
      return Error{"out of memory"};
    }
    format = Ffmpeg()->avformat_alloc_context();
    if (!format) return Error{"out of memory"};
    format->pb = io;
    format->flags |= AVFMT_FLAG_CUSTOM_IO;
    const AVInputFormat* avi = Ffmpeg()->av_find_input_format("avi");
    if (!avi) return Error{"the AVI demuxer is missing"};
    if (const int error = Ffmpeg()->avformat_open_input(&format, nullptr, avi, nullptr); error < 0)
      return Error{"the AVI demuxer refused the clip: " + AvErrorText(error)};

    // The demuxer makes one stream per stream list, in order: the header check's video
    // stream is the demuxer's stream of that index.
    if (info.videoStream >= format->nb_streams) return Error{"the demuxer found no video stream"};
    streamIndex = static_cast<int>(info.videoStream);
    for (unsigned i = 0; i < format->nb_streams; ++i)
      if (static_cast<int>(i) != streamIndex) format->streams[i]->discard = AVDISCARD_ALL;
    const AVCodecParameters* parameters = format->streams[streamIndex]->codecpar;
    if (parameters->codec_type != AVMEDIA_TYPE_VIDEO)
      return Error{"the demuxer's stream " + std::to_string(streamIndex) + " is no video"};
    const CodecEntry* entry =
        std::find_if(std::begin(kCodecs), std::end(kCodecs),
                     [&](const CodecEntry& e) { return e.id == parameters->codec_id; });
    if (entry == std::end(kCodecs) || !accepted.Contains(entry->codec)) {
      const std::string name = info.compression == kAviCompressionRgb ? "uncompressed"
                               : info.compression == kAviCompressionRle8
                                   ? "RLE8"
                                   : FourCcText(info.compression);
      return Error{"video codec '" + name + "' is not accepted"};
    }
    if (parameters->width != info.width || std::abs(parameters->height) != info.height)
      return Error{"the demuxer's frame size differs from the header's"};
    codec = entry->codec;
    codecId = entry->id;

    const AVCodec* implementation = Ffmpeg()->avcodec_find_decoder(codecId);
    if (!implementation) return Error{"no decoder for the clip's codec"};
    decoder = Ffmpeg()->avcodec_alloc_context3(implementation);
    packet = Ffmpeg()->av_packet_alloc();
    frame = Ffmpeg()->av_frame_alloc();
    if (!decoder || !packet || !frame) return Error{"out of memory"};
    if (Ffmpeg()->avcodec_parameters_to_context(decoder, parameters) < 0)
      return Error{"the decoder refused the stream's parameters"};
    decoder->thread_count = 1;
    if (const int error = Ffmpeg()->avcodec_open2(decoder, implementation, nullptr); error < 0)
      return Error{"the decoder refused the stream: " + AvErrorText(error)};
    return {};
  }

  // The formats of uncompressed and RLE8 clips, converted here without the scaler's
  // set-up per frame (the animation control converts a frame per step). Colours widen as
  // the scaler widens them: the top bits repeat in the new low bits.
  std::optional<Pixels> ConvertDirect(AVPixelFormat source) const {
    if (source != AV_PIX_FMT_PAL8 && source != AV_PIX_FMT_RGB555LE && source != AV_PIX_FMT_BGR24)
      return std::nullopt;
    Pixels pixels;
    pixels.width = frame->width;
    pixels.height = frame->height;
    pixels.bgra.resize(static_cast<size_t>(pixels.width) * static_cast<size_t>(pixels.height));
    const auto width = static_cast<size_t>(frame->width);
    for (int y = 0; y < frame->height; ++y) {
      // A negative line size walks a bottom-up picture upwards.
      const uint8_t* row = frame->data[0] + static_cast<ptrdiff_t>(y) * frame->linesize[0];
      uint32_t* out = pixels.bgra.data() + static_cast<size_t>(y) * width;
      // One loop per format, so that each stays free of branches.
      if (source == AV_PIX_FMT_BGR24) {
        for (size_t x = 0; x < width; ++x, row += 3)
          out[x] = 0xFF000000u | static_cast<uint32_t>(row[2]) << 16 |
                   static_cast<uint32_t>(row[1]) << 8 | row[0];
      } else if (source == AV_PIX_FMT_PAL8) {
        for (size_t x = 0; x < width; ++x) {
          uint32_t entry;
          std::memcpy(&entry, frame->data[1] + 4 * static_cast<size_t>(row[x]), 4);
          out[x] = entry | 0xFF000000u;
        }
      } else {
        for (size_t x = 0; x < width; ++x) {
          const uint32_t v = static_cast<uint32_t>(row[2 * x] | row[2 * x + 1] << 8);
          const uint32_t r = v >> 10 & 0x1F, g = v >> 5 & 0x1F, b = v & 0x1F;
          out[x] =
              0xFF000000u | (r << 3 | r >> 2) << 16 | (g << 3 | g >> 2) << 8 | (b << 3 | b >> 2);
        }
      }
    }
    return pixels;
  }

  Expected<Pixels> Convert() {
    if (frame->width != info.width || frame->height != info.height)
      return Error{"frame " + std::to_string(next) + " is " + std::to_string(frame->width) + " x " +
                   std::to_string(frame->height) + ", not the clip's size"};
    const auto source = static_cast<AVPixelFormat>(frame->format);
    if (auto direct = ConvertDirect(source)) return std::move(*direct);
    scaler = Ffmpeg()->sws_getCachedContext(scaler, frame->width, frame->height, source,
                                            frame->width, frame->height, AV_PIX_FMT_BGRA, SWS_POINT,
                                            nullptr, nullptr, nullptr);
    if (!scaler) return Error{"no conversion from the decoder's pixel format"};
    // Rows of a padded stride, so no conversion routine writes past a row's buffer.
    const int stride = (frame->width * 4 + 63) / 64 * 64;
    std::vector<uint8_t> converted(static_cast<size_t>(stride) * frame->height + 64);
    uint8_t* planes[4] = {converted.data(), nullptr, nullptr, nullptr};
    const int strides[4] = {stride, 0, 0, 0};
    if (Ffmpeg()->sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, planes,
                            strides) != frame->height)
      return Error{"pixel conversion of frame " + std::to_string(next) + " failed"};
    Pixels pixels;
    pixels.width = frame->width;
    pixels.height = frame->height;
    pixels.bgra.resize(static_cast<size_t>(pixels.width) * pixels.height);
    for (int y = 0; y < pixels.height; ++y)
      std::memcpy(&pixels.bgra[static_cast<size_t>(y) * pixels.width],
                  converted.data() + static_cast<size_t>(y) * stride,
                  static_cast<size_t>(pixels.width) * 4);
    for (uint32_t& word : pixels.bgra) word |= 0xFF000000u;
    return pixels;
  }

  Expected<std::optional<Pixels>> Next() {
    if (!decoder) return Error{"the decoder is closed"};
    for (;;) {
      const int received = Ffmpeg()->avcodec_receive_frame(decoder, frame);
      if (received == 0) {
        auto pixels = Convert();
        Ffmpeg()->av_frame_unref(frame);
        if (!pixels) return pixels.GetError();
        ++next;
        return std::optional<Pixels>(std::move(*pixels));
      }
      if (received == AVERROR_EOF) return std::optional<Pixels>();
      if (received != AVERROR(EAGAIN))
        return Error{"decoding frame " + std::to_string(next) +
                     " failed: " + AvErrorText(received)};
      if (draining) return std::optional<Pixels>();
      const int read = Ffmpeg()->av_read_frame(format, packet);
      if (read < 0) {
        // End of the clip (or of what the demuxer can read): drain the decoder.
        draining = true;
        Ffmpeg()->avcodec_send_packet(decoder, nullptr);
        continue;
      }
      if (packet->stream_index != streamIndex) {
        Ffmpeg()->av_packet_unref(packet);
        continue;
      }
      const int sent = Ffmpeg()->avcodec_send_packet(decoder, packet);
      Ffmpeg()->av_packet_unref(packet);
      if (sent < 0 && sent != AVERROR(EAGAIN))
        return Error{"decoding frame " + std::to_string(next) + " failed: " + AvErrorText(sent)};
    }
  }
};

AviDecoder::AviDecoder(std::unique_ptr<State> state) : state_(std::move(state)) {}
AviDecoder::~AviDecoder() = default;

Expected<std::unique_ptr<AviDecoder>> AviDecoder::Open(std::vector<std::byte> file,
                                                       VideoCodecs accepted) {
  if (!Ffmpeg()) return Error{"the FFmpeg libraries cannot be loaded"};
  QuietLibraryLog();
  auto info = ReadAviInfo(file);
  if (!info) return info.GetError();
  auto state = std::make_unique<State>();
  file.resize(info->riffSize);
  state->bytes = std::move(file);
  state->info = std::move(*info);
  auto opened = state->Open(accepted);
  if (!opened) return opened.GetError();
  return std::unique_ptr<AviDecoder>(new AviDecoder(std::move(state)));
}

const AviInfo& AviDecoder::Info() const {
  return state_->info;
}
VideoCodec AviDecoder::Codec() const {
  return state_->codec;
}
uint32_t AviDecoder::NextFrameIndex() const {
  return state_->next;
}

Expected<std::optional<Pixels>> AviDecoder::NextFrame() {
  return state_->Next();
}

Expected<void> AviDecoder::Rewind() {
  // A fresh demuxer and decoder: delta frames of the second pass then draw over the same
  // blank start as the first.
  auto opened = state_->Open(VideoCodecs{state_->codec});
  if (!opened) {
    state_->Close();
    return opened.GetError();
  }
  return {};
}

}  // namespace orvex
