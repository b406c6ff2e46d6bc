// Packed DIBs of every header, depth and compression: decode with and without the 3D
// colour mapping, make a bitmap and read it back.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gdi/dib.h"
#include "platform/gdi/gdi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> dib(data, size);
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
