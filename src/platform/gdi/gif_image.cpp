#include "platform/gdi/gif_image.h"

#include <gif_lib.h>

#include <cstring>
#include <memory>

#include "platform/gdi/dib.h"

namespace orvex {
namespace {

struct Input {
  Bytes bytes;
  size_t position = 0;
};

int ReadFromMemory(GifFileType* gif, GifByteType* out, int count) {
  auto* input = static_cast<Input*>(gif->UserData);
  const size_t n =
      std::min<size_t>(static_cast<size_t>(count), input->bytes.size() - input->position);
  std::memcpy(out, input->bytes.data() + input->position, n);
  input->position += n;
  return static_cast<int>(n);
}

struct GifCloser {
  void operator()(GifFileType* gif) const {
    int error = 0;
    DGifCloseFile(gif, &error);
  }
};

}  // namespace

bool IsGif(Bytes bytes) {
  return bytes.size() >= 6 && (std::memcmp(bytes.data(), "GIF87a", 6) == 0 ||
                               std::memcmp(bytes.data(), "GIF89a", 6) == 0);
}

Expected<Pixels> DecodeGif(Bytes bytes) {
  if (!IsGif(bytes) || bytes.size() < 13) return Error{"no GIF header"};
  Input input{bytes, 0};
  int error = 0;
  std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&input, ReadFromMemory, &error));
  if (!gif) return Error{"damaged GIF"};
  const int64_t screenWidth = gif->SWidth, screenHeight = gif->SHeight;
  if (screenWidth <= 0 || screenHeight <= 0 ||
      static_cast<uint64_t>(screenWidth * screenHeight) > kMaxDibPixels) {
    return Error{"bad GIF size"};
  }
  int transparent = -1;
  GifRecordType record;
  do {
    if (DGifGetRecordType(gif.get(), &record) == GIF_ERROR) return Error{"damaged GIF"};
    if (record == EXTENSION_RECORD_TYPE) {
      int code = 0;
      GifByteType* block = nullptr;
      if (DGifGetExtension(gif.get(), &code, &block) == GIF_ERROR) return Error{"damaged GIF"};
      if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4 && (block[1] & 1)) {
        transparent = block[4];
      }
      while (block) {
        if (DGifGetExtensionNext(gif.get(), &block) == GIF_ERROR) return Error{"damaged GIF"};
      }
    } else if (record == IMAGE_DESC_RECORD_TYPE) {
      if (DGifGetImageDesc(gif.get()) == GIF_ERROR) return Error{"damaged GIF"};
      const GifImageDesc& desc = gif->Image;
      const ColorMapObject* colours = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
      if (!colours || desc.Width <= 0 || desc.Height <= 0 ||
          static_cast<uint64_t>(desc.Width) * desc.Height > kMaxDibPixels) {
        return Error{"bad GIF image"};
      }
      Pixels out;
      out.width = static_cast<int32_t>(screenWidth);
      out.height = static_cast<int32_t>(screenHeight);
      out.bgra.assign(static_cast<size_t>(screenWidth * screenHeight), 0);
      std::vector<GifPixelType> line(static_cast<size_t>(desc.Width));
      // Interlaced images arrive in four passes.
      std::vector<int> rows;
      if (desc.Interlace) {
        for (int pass = 0; pass < 4; ++pass) {
          static constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
          for (int y = kStart[pass]; y < desc.Height; y += kStep[pass]) rows.push_back(y);
        }
      } else {
        for (int y = 0; y < desc.Height; ++y) rows.push_back(y);
      }
      for (int y : rows) {
        if (DGifGetLine(gif.get(), line.data(), desc.Width) == GIF_ERROR)
          return Error{"damaged GIF"};
        const int64_t sy = desc.Top + y;
        if (sy < 0 || sy >= screenHeight) continue;
        for (int x = 0; x < desc.Width; ++x) {
          const int64_t sx = desc.Left + x;
          if (sx < 0 || sx >= screenWidth || line[x] == transparent) continue;
          if (line[x] >= colours->ColorCount) continue;
          const GifColorType c = colours->Colors[line[x]];
          out.bgra[static_cast<size_t>(sy * screenWidth + sx)] =
              0xFF000000u | uint32_t{c.Red} << 16 | uint32_t{c.Green} << 8 | c.Blue;
        }
      }
      return out;
    }
  } while (record != TERMINATE_RECORD_TYPE);
  return Error{"GIF without an image"};
}

}  // namespace orvex
