#include "platform/gdi/jpeg_image.h"

// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on
#include <csetjmp>
#include <cstring>
#include <memory>

#include "platform/gdi/dib.h"

namespace orvex {
namespace {

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

[[noreturn]] void OnError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}
void OnMessage(j_common_ptr, int) {}

}  // namespace

bool IsJpeg(Bytes bytes) {
  return bytes.size() >= 3 && std::to_integer<uint8_t>(bytes[0]) == 0xFF &&
         std::to_integer<uint8_t>(bytes[1]) == 0xD8 && std::to_integer<uint8_t>(bytes[2]) == 0xFF;
}

Expected<Pixels> DecodeJpeg(Bytes bytes) {
  if (!IsJpeg(bytes)) return Error{"no JPEG start marker"};
  // Everything the decoder changes lives behind a pointer that stays the same across the
  // error jump.
  struct State {
    jpeg_decompress_struct info;
    ErrorManager errors;
    Pixels out;
  };
  const auto state = std::make_unique<State>();
  jpeg_decompress_struct& info = state->info;
  info.err = jpeg_std_error(&state->errors.base);
  state->errors.base.error_exit = OnError;
  state->errors.base.emit_message = OnMessage;
  if (setjmp(state->errors.jump)) {
    jpeg_destroy_decompress(&state->info);
    return Error{"damaged JPEG"};
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()),
               static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&info, TRUE);
  if (info.image_width == 0 || info.image_height == 0 ||
      uint64_t{info.image_width} * info.image_height > kMaxDibPixels ||
      info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK) {
    jpeg_destroy_decompress(&info);
    return Error{"JPEG size or colour space not supported"};
  }
  info.out_color_space = JCS_EXT_BGRA;
  jpeg_start_decompress(&info);
  Pixels& out = state->out;
  out.width = static_cast<int32_t>(info.output_width);
  out.height = static_cast<int32_t>(info.output_height);
  out.bgra.assign(static_cast<size_t>(out.width) * out.height, 0);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = reinterpret_cast<JSAMPROW>(
        out.bgra.data() + static_cast<size_t>(info.output_scanline) * out.width);
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  for (uint32_t& p : out.bgra) p |= 0xFF000000u;
  return std::move(out);
}

}  // namespace orvex
