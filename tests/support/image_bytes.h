// Image resources built in memory for tests and benchmarks: packed DIBs, icon and cursor
// images with their masks, group directories and BMP files, in the layouts the platform
// stores them.
#pragma once

#include <cstdint>
#include <vector>

namespace orvex::test {

// A packed DIB (BITMAPINFOHEADER, no colour table) of width × height at 24 or 32 bits per
// pixel, bottom-up, every pixel `bgr`.
std::vector<uint8_t> PackedDib(int32_t width, int32_t height, uint16_t bitCount, uint32_t bgr);
// The same behind a BITMAPFILEHEADER: a .bmp file.
std::vector<uint8_t> BmpFile(int32_t width, int32_t height, uint16_t bitCount, uint32_t bgr);
// An RT_ICON image: a 32-bit colour image of size × size with alpha 0xFF and an AND mask
// of zeros; for a cursor (RT_CURSOR) the hotspot words come first.
std::vector<uint8_t> IconImage(int32_t size, uint32_t bgr);
std::vector<uint8_t> CursorImage(int32_t size, uint16_t hotX, uint16_t hotY, uint32_t bgr);
// A group directory with one entry naming image `id` of size × size at 32 bits.
std::vector<uint8_t> IconGroup(int32_t size, uint16_t id, uint32_t imageBytes);
std::vector<uint8_t> CursorGroup(int32_t size, uint16_t id, uint32_t imageBytes);

}  // namespace orvex::test
