#include "platform/media/avi_file.h"

#include <string>

#include "platform/media/riff.h"

namespace orvex {
namespace {

// AVIMAINHEADER ("avih") after its chunk header:
//   DWORD dwMicroSecPerFrame, dwMaxBytesPerSec, dwPaddingGranularity, dwFlags,
//         dwTotalFrames, dwInitialFrames, dwStreams, dwSuggestedBufferSize,
//         dwWidth, dwHeight, dwReserved[4];
struct MainHeader {
  uint32_t microSecPerFrame;
  uint32_t maxBytesPerSec;
  uint32_t paddingGranularity;
  uint32_t flags;
  uint32_t totalFrames;
  uint32_t initialFrames;
  uint32_t streams;
  uint32_t suggestedBufferSize;
  uint32_t width;
  uint32_t height;
  uint32_t reserved[4];
};
static_assert(sizeof(MainHeader) == 56);

// AVISTREAMHEADER ("strh") up to dwSampleSize; rcFrame (four shorts) may follow:
//   FOURCC fccType, fccHandler; DWORD dwFlags; WORD wPriority, wLanguage;
//   DWORD dwInitialFrames, dwScale, dwRate, dwStart, dwLength, dwSuggestedBufferSize,
//         dwQuality, dwSampleSize;
struct StreamHeader {
  uint32_t type;
  uint32_t handler;
  uint32_t flags;
  uint16_t priority;
  uint16_t language;
  uint32_t initialFrames;
  uint32_t scale;
  uint32_t rate;
  uint32_t start;
  uint32_t length;
  uint32_t suggestedBufferSize;
  uint32_t quality;
  uint32_t sampleSize;
};
static_assert(sizeof(StreamHeader) == 48);

// BITMAPINFOHEADER ("strf" of a video stream), then the colour table of RGBQUADs:
//   DWORD biSize; LONG biWidth, biHeight; WORD biPlanes, biBitCount; DWORD biCompression,
//   biSizeImage; LONG biXPelsPerMeter, biYPelsPerMeter; DWORD biClrUsed, biClrImportant;
struct BitmapInfoHeader {
  uint32_t size;
  int32_t width;
  int32_t height;
  uint16_t planes;
  uint16_t bitCount;
  uint32_t compression;
  uint32_t sizeImage;
  int32_t xPelsPerMeter;
  int32_t yPelsPerMeter;
  uint32_t clrUsed;
  uint32_t clrImportant;
};
static_assert(sizeof(BitmapInfoHeader) == 40);

Expected<void> ReadVideoFormat(Bytes strf, AviInfo& info) {
  ByteReader reader(strf);
  auto header = reader.Read<BitmapInfoHeader>();
  if (!header) return Error{"video format is shorter than a bitmap header"};
  if (header->size < sizeof(BitmapInfoHeader) || header->size > strf.size())
    return Error{"bitmap header size " + std::to_string(header->size) + " does not fit its chunk"};
  if (header->width <= 0 || header->height == 0 || header->height == INT32_MIN)
    return Error{"bad frame size " + std::to_string(header->width) + " x " +
                 std::to_string(header->height)};
  info.width = header->width;
  info.topDown = header->height < 0;
  info.height = info.topDown ? -header->height : header->height;
  if (static_cast<uint64_t>(info.width) * static_cast<uint64_t>(info.height) > kMaxAviFramePixels)
    return Error{"frame of " + std::to_string(info.width) + " x " + std::to_string(info.height) +
                 " pixels is too large"};
  info.bitCount = header->bitCount;
  info.compression = header->compression;
  if (info.compression == kAviCompressionRle8 && info.bitCount != 8)
    return Error{"RLE8 frames with " + std::to_string(info.bitCount) + " bits per pixel"};
  if (info.compression == kAviCompressionRgb) {
    if (info.bitCount != 8 && info.bitCount != 16 && info.bitCount != 24 && info.bitCount != 32)
      return Error{"uncompressed frames with " + std::to_string(info.bitCount) + " bits per pixel"};
  }
  // The table: biClrUsed entries, or the whole table of the depth when 0 (8 bits and less).
  uint64_t entries = header->clrUsed;
  if (entries == 0 && info.bitCount <= 8) entries = uint64_t{1} << info.bitCount;
  if (entries > 256) return Error{"colour table of " + std::to_string(entries) + " entries"};
  if (entries == 0) return {};
  (void)reader.Seek(header->size);
  auto table = reader.ReadArray(entries, 4);
  if (!table)
    return Error{"colour table of " + std::to_string(entries) +
                 " entries runs past the video format"};
  ByteReader colours(*table);
  info.palette.resize(entries);
  for (uint32_t& colour : info.palette) {
    uint32_t quad = 0;  // RGBQUAD: blue, green, red, reserved
    colours.TryRead(quad);
    colour = quad & 0x00FFFFFF;
  }
  return {};
}

Expected<AviStream> ReadStreamList(Bytes strl, AviInfo& info, bool firstVideo) {
  ByteReader reader(strl);
  AviStream stream;
  bool haveHeader = false, haveFormat = false;
  while (!reader.AtEnd()) {
    auto chunk = ReadRiffChunk(reader);
    if (!chunk) return chunk.GetError();
    if (chunk->id == FourCc("strh") && !haveHeader) {
      ByteReader fields(chunk->body);
      auto header = fields.Read<StreamHeader>();
      if (!header)
        return Error{"stream header of " + std::to_string(chunk->body.size()) +
                     " bytes is too short"};
      stream = {header->type, header->handler, header->scale,
                header->rate, header->start,   header->length};
      haveHeader = true;
    } else if (chunk->id == FourCc("strf") && !haveFormat) {
      if (!haveHeader) return Error{"stream format comes before the stream header"};
      if (firstVideo && stream.type == FourCc("vids")) {
        auto format = ReadVideoFormat(chunk->body, info);
        if (!format) return format.GetError().In("video format");
      }
      haveFormat = true;
    }
  }
  if (!haveHeader) return Error{"no stream header"};
  if (!haveFormat) return Error{"no stream format"};
  return stream;
}

Expected<void> ReadHeaderList(Bytes hdrl, AviInfo& info) {
  ByteReader reader(hdrl);
  auto avih = ReadRiffChunk(reader);
  if (!avih) return avih.GetError();
  if (avih->id != FourCc("avih")) return Error{"the header list does not start with 'avih'"};
  ByteReader fields(avih->body);
  auto main = fields.Read<MainHeader>();
  if (!main)
    return Error{"main header of " + std::to_string(avih->body.size()) + " bytes is too short"};
  info.microsecondsPerFrame = main->microSecPerFrame;
  info.flags = main->flags;
  info.frameCount = main->totalFrames;
  info.headerWidth = main->width;
  info.headerHeight = main->height;

  bool haveVideo = false;
  while (!reader.AtEnd()) {
    auto chunk = ReadRiffChunk(reader);
    if (!chunk) return chunk.GetError();
    if (chunk->id != FourCc("LIST") || chunk->listType != FourCc("strl")) continue;
    const size_t index = info.streams.size();
    if (index == kMaxAviStreams)
      return Error{"more than " + std::to_string(kMaxAviStreams) + " streams"};
    auto stream = ReadStreamList(chunk->body, info, !haveVideo);
    if (!stream) return stream.GetError().In("stream " + std::to_string(index));
    if (stream->type == FourCc("vids") && !haveVideo) {
      haveVideo = true;
      info.videoStream = index;
    }
    if (stream->type == FourCc("auds")) info.hasAudio = true;
    info.streams.push_back(*stream);
  }
  if (!haveVideo) return Error{"no video stream"};
  return {};
}

}  // namespace

Expected<AviInfo> ReadAviInfo(Bytes file) {
  auto form = ReadRiffForm(file, FourCc("AVI "));
  if (!form) return form.GetError();
  AviInfo info;
  info.riffSize = 12 + form->body.size();
  ByteReader reader(form->body);
  bool haveHeaders = false, haveMovie = false;
  while (!reader.AtEnd()) {
    auto chunk = ReadRiffChunk(reader);
    if (!chunk) return chunk.GetError().In("AVI form");
    if (chunk->id != FourCc("LIST")) continue;
    if (chunk->listType == FourCc("hdrl") && !haveHeaders) {
      auto headers = ReadHeaderList(chunk->body, info);
      if (!headers) return headers.GetError().In("header list");
      haveHeaders = true;
    } else if (chunk->listType == FourCc("movi") && !haveMovie) {
      if (!haveHeaders) return Error{"the movie list comes before the header list"};
      // The body's offset in the file: the form's body starts 12 bytes in.
      info.moviOffset = 12 + chunk->offset + 12;
      info.moviSize = chunk->body.size();
      haveMovie = true;
    }
  }
  if (!haveHeaders) return Error{"no header list ('hdrl')"};
  if (!haveMovie) return Error{"no movie list ('movi')"};
  if (info.frameCount == 0) return Error{"the clip has no frames"};
  // Every frame is a chunk of at least a chunk header in the movie list.
  if (info.frameCount > info.moviSize / 8)
    return Error{"main header claims " + std::to_string(info.frameCount) +
                 " frames, more than the movie list of " + std::to_string(info.moviSize) +
                 " bytes can hold"};
  return info;
}

}  // namespace orvex
