#include "platform/gdi/png_image.h"

#include <png.h>

#include <cstring>
#include <memory>

#include "platform/gdi/dib.h"

namespace orvex {
namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

uint32_t BigEndian(const std::byte* p) {
  return uint32_t{std::to_integer<uint8_t>(p[0])} << 24 |
         uint32_t{std::to_integer<uint8_t>(p[1])} << 16 |
         uint32_t{std::to_integer<uint8_t>(p[2])} << 8 | std::to_integer<uint8_t>(p[3]);
}

struct MemoryInput {
  Bytes bytes;
  size_t position = 0;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
  auto* input = static_cast<MemoryInput*>(png_get_io_ptr(png));
  if (count > input->bytes.size() - input->position) png_error(png, "truncated");
  std::memcpy(out, input->bytes.data() + input->position, count);
  input->position += count;
}

void Warn(png_structp, png_const_charp) {}
// Errors end the decoding silently: the caller reports a damaged image.
[[noreturn]] void Fail(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}

}  // namespace

bool IsPng(Bytes bytes) {
  return bytes.size() >= sizeof kSignature && std::memcmp(bytes.data(), kSignature, 8) == 0;
}

Expected<PngSize> ReadPngSize(Bytes bytes) {
  if (!IsPng(bytes)) return Error{"no PNG signature"};
  // IHDR must come first: length 13, then width and height.
  if (bytes.size() < 8 + 8 + 13 + 4) return Error{"PNG header runs past the end"};
  if (BigEndian(bytes.data() + 8) != 13 || std::memcmp(bytes.data() + 12, "IHDR", 4) != 0) {
    return Error{"PNG without a header chunk"};
  }
  return PngSize{BigEndian(bytes.data() + 16), BigEndian(bytes.data() + 20)};
}

Expected<Pixels> DecodePng(Bytes bytes) {
  const auto size = ReadPngSize(bytes);
  if (!size) return size.GetError();
  const uint32_t width = size->width;
  const uint32_t height = size->height;
  if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF ||
      uint64_t{width} * height > kMaxDibPixels) {
    return Error{"bad PNG size"};
  }
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, Fail, Warn);
  if (!png) return Error{"out of memory"};
  png_infop info = png_create_info_struct(png);
  // Everything the decoder changes lives behind a pointer that stays the same across the
  // error jump.
  struct State {
    Pixels out;
    MemoryInput input;
    std::vector<png_bytep> rows;
  };
  const auto state = std::make_unique<State>(State{{}, {bytes, 0}, {}});
  Pixels& out = state->out;
  std::vector<png_bytep>& rows = state->rows;
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return Error{"damaged PNG"};
  }
  png_set_read_fn(png, &state->input, ReadFromMemory);
  png_set_user_limits(png, 0x7FFFFFFF, 0x7FFFFFFF);
  png_read_info(png, info);
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_bgr(png);
  png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  out.width = static_cast<int32_t>(width);
  out.height = static_cast<int32_t>(height);
  out.bgra.assign(static_cast<size_t>(width) * height, 0);
  rows.resize(height);
  for (uint32_t y = 0; y < height; ++y) {
    rows[y] = reinterpret_cast<png_bytep>(out.bgra.data() + static_cast<size_t>(y) * width);
  }
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return std::move(out);
}

}  // namespace orvex
