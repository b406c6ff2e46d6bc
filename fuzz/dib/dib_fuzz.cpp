// Packed DIBs of every header, depth and compression: decode with and without the 3D
// colour mapping, make a bitmap and read it back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "platform/gdi/dib.h"
#include "platform/gdi/gdi.h"

namespace {

// Images past this many pixels are left out: the library takes up to kMaxDibPixels, but
// allocating that much per input would leave the fuzzer no time to explore the formats.
constexpr uint64_t kFuzzMaxPixels = 256 * 256;

bool TooLarge(std::span<const uint8_t> dib) {
  const auto header = orvex::ReadDibHeader(orvex::AsBytes(dib.data(), dib.size()));
  if (!header) return false;  // the library's own refusal is worth exploring
  const auto magnitude = [](int32_t value) {
    return static_cast<uint64_t>(std::abs(int64_t{value}));
  };
  return magnitude(header->width) * magnitude(header->height) > kFuzzMaxPixels;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> dib(data, size);
  if (TooLarge(dib)) return 0;
  const orvex::HBITMAP bitmap = orvex::CreateBitmapFromPackedDib(dib, orvex::LR_LOADMAP3DCOLORS);
  if (bitmap) {
    orvex::BITMAP bm{};
    orvex::GetObjectA(bitmap, sizeof bm, &bm);
    if (static_cast<uint64_t>(bm.bmWidth) * bm.bmHeight > orvex::kMaxDibPixels) __builtin_trap();
    std::vector<uint32_t> words(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
    orvex::BITMAPINFO info{};
    info.bmiHeader = {sizeof(orvex::BITMAPINFOHEADER),
                      bm.bmWidth,
                      bm.bmHeight,
                      1,
                      32,
                      orvex::BI_RGB,
                      0,
                      0,
                      0,
                      0,
                      0};
    orvex::GetDIBits(0, bitmap, 0, static_cast<orvex::UINT>(bm.bmHeight), words.data(), &info, 0);
    orvex::DeleteObject(bitmap);
  }
  return 0;
}
