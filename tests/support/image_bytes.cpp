#include "support/image_bytes.h"

#include <cstddef>

namespace orvex::test {
namespace {

void Put(std::vector<uint8_t>& out, uint32_t value, int size) {
  for (int i = 0; i < size; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void PutHeader(std::vector<uint8_t>& out, int32_t width, int32_t height, uint16_t bitCount) {
  Put(out, 40, 4);
  Put(out, static_cast<uint32_t>(width), 4);
  Put(out, static_cast<uint32_t>(height), 4);
  Put(out, 1, 2);
  Put(out, bitCount, 2);
  for (int i = 0; i < 6; ++i) Put(out, 0, 4);
}

void PutPixels(std::vector<uint8_t>& out, int32_t width, int32_t height, uint16_t bitCount,
               uint32_t colour) {
  const size_t stride = (static_cast<size_t>(width) * bitCount / 8 + 3) & ~size_t{3};
  for (int32_t y = 0; y < height; ++y) {
    const size_t start = out.size();
    for (int32_t x = 0; x < width; ++x) Put(out, colour, bitCount / 8);
    out.resize(start + stride, 0);
  }
}

std::vector<uint8_t> Group(uint16_t type, int32_t size, uint16_t id, uint32_t imageBytes) {
  std::vector<uint8_t> out;
  Put(out, 0, 2);
  Put(out, type, 2);
  Put(out, 1, 2);
  if (type == 1) {
    out.push_back(static_cast<uint8_t>(size));
    out.push_back(static_cast<uint8_t>(size));
    out.push_back(0);
    out.push_back(0);
  } else {
    Put(out, static_cast<uint32_t>(size), 2);
    Put(out, static_cast<uint32_t>(size * 2), 2);
  }
  Put(out, 1, 2);
  Put(out, 32, 2);
  Put(out, imageBytes, 4);
  Put(out, id, 2);
  return out;
}

}  // namespace

std::vector<uint8_t> PackedDib(int32_t width, int32_t height, uint16_t bitCount, uint32_t bgr) {
  std::vector<uint8_t> out;
  PutHeader(out, width, height, bitCount);
  PutPixels(out, width, height, bitCount, bgr);
  return out;
}

std::vector<uint8_t> BmpFile(int32_t width, int32_t height, uint16_t bitCount, uint32_t bgr) {
  const std::vector<uint8_t> dib = PackedDib(width, height, bitCount, bgr);
  std::vector<uint8_t> out = {'B', 'M'};
  Put(out, static_cast<uint32_t>(14 + dib.size()), 4);
  Put(out, 0, 4);
  Put(out, 14 + 40, 4);
  out.insert(out.end(), dib.begin(), dib.end());
  return out;
}

std::vector<uint8_t> IconImage(int32_t size, uint32_t bgr) {
  std::vector<uint8_t> out;
  PutHeader(out, size, size * 2, 32);
  PutPixels(out, size, size, 32, 0xFF000000u | bgr);
  const size_t maskStride = (static_cast<size_t>(size) + 31) / 32 * 4;
  out.resize(out.size() + maskStride * static_cast<size_t>(size), 0);
  return out;
}

std::vector<uint8_t> CursorImage(int32_t size, uint16_t hotX, uint16_t hotY, uint32_t bgr) {
  std::vector<uint8_t> out;
  Put(out, hotX, 2);
  Put(out, hotY, 2);
  const std::vector<uint8_t> image = IconImage(size, bgr);
  out.insert(out.end(), image.begin(), image.end());
  return out;
}

std::vector<uint8_t> IconGroup(int32_t size, uint16_t id, uint32_t imageBytes) {
  return Group(1, size, id, imageBytes);
}

std::vector<uint8_t> CursorGroup(int32_t size, uint16_t id, uint32_t imageBytes) {
  return Group(2, size, id, imageBytes);
}

}  // namespace orvex::test
