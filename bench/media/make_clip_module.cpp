// Writes the clip of the frame-writing comparison and a module carrying it: 500 frames of
// 320 × 240 uncompressed 24-bit video at 25 frames a second, a picture that moves every
// frame, as DIR/clip.avi and as AVI #1 of DIR/clip.dll.
//
//   make_clip_module DIR
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "pe_writer/pe_writer.h"

namespace {

constexpr uint32_t kWidth = 320;
constexpr uint32_t kHeight = 240;
constexpr uint32_t kFrames = 500;
constexpr uint32_t kStride = kWidth * 3;  // already a multiple of 4
constexpr uint32_t kFrameBytes = kStride * kHeight;

class Out {
 public:
  void Tag(const char* fourcc) { bytes_.insert(bytes_.end(), fourcc, fourcc + 4); }
  void U32(uint32_t v) { Raw(&v, 4); }
  void U16(uint16_t v) { Raw(&v, 2); }
  void Raw(const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    bytes_.insert(bytes_.end(), b, b + n);
  }
  // Starts a chunk (or list) and returns where its size goes.
  size_t Open(const char* fourcc) {
    Tag(fourcc);
    U32(0);
    return bytes_.size() - 4;
  }
  void Close(size_t sizeAt) {
    const auto size = static_cast<uint32_t>(bytes_.size() - sizeAt - 4);
    std::memcpy(bytes_.data() + sizeAt, &size, 4);
  }
  size_t Size() const { return bytes_.size(); }
  std::vector<uint8_t>& Bytes() { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

// Drawn as the clips modules carry are drawn (progress animations): a soft vertical
// gradient, a striped band that scrolls, and solid shapes that move every frame.
std::vector<uint8_t> Frame(uint32_t f) {
  std::vector<uint8_t> frame(kFrameBytes);
  const auto put = [&](uint32_t x, uint32_t y, uint8_t r, uint8_t g, uint8_t b) {
    uint8_t* p = frame.data() + (kHeight - 1 - y) * kStride + x * 3;  // rows bottom-up
    p[0] = b;
    p[1] = g;
    p[2] = r;
  };
  for (uint32_t y = 0; y < kHeight; ++y)
    for (uint32_t x = 0; x < kWidth; ++x)
      put(x, y, static_cast<uint8_t>(200 - y / 3), static_cast<uint8_t>(220 - y / 4), 240);
  for (uint32_t y = 100; y < 120; ++y)
    for (uint32_t x = 0; x < kWidth; ++x)
      if (((x + 3 * f) / 8 + y / 4) % 2) put(x, y, 40, 90, 160);
  const uint32_t boxX = (f * 2) % (kWidth - 40);
  for (uint32_t y = 30; y < 70; ++y)
    for (uint32_t x = boxX; x < boxX + 40; ++x) put(x, y, 250, 200, 40);
  const int cx = static_cast<int>((f * 5) % kWidth), cy = 170 + static_cast<int>(f % 40);
  for (int y = cy - 25; y <= cy + 25; ++y)
    for (int x = cx - 25; x <= cx + 25; ++x)
      if (x >= 0 && y >= 0 && x < static_cast<int>(kWidth) && y < static_cast<int>(kHeight) &&
          (x - cx) * (x - cx) + (y - cy) * (y - cy) <= 625)
        put(static_cast<uint32_t>(x), static_cast<uint32_t>(y), 200, 30, 60);
  return frame;
}

std::vector<uint8_t> Clip() {
  Out o;
  const size_t riff = o.Open("RIFF");
  o.Tag("AVI ");
  const size_t hdrl = o.Open("LIST");
  o.Tag("hdrl");
  const size_t avih = o.Open("avih");
  for (uint32_t v : {40000u, kFrameBytes * 25, 0u, 0x10u, kFrames, 0u, 1u, kFrameBytes, kWidth,
                     kHeight, 0u, 0u, 0u, 0u})
    o.U32(v);
  o.Close(avih);
  const size_t strl = o.Open("LIST");
  o.Tag("strl");
  const size_t strh = o.Open("strh");
  o.Tag("vids");
  o.Tag("DIB ");
  for (uint32_t v : {0u, 0u, 0u, 1u, 25u, 0u, kFrames, kFrameBytes, 0xFFFFFFFFu, 0u}) o.U32(v);
  for (uint32_t v : {0u, 0u, kWidth, kHeight}) o.U16(static_cast<uint16_t>(v));
  o.Close(strh);
  const size_t strf = o.Open("strf");
  o.U32(40);
  o.U32(kWidth);
  o.U32(kHeight);
  o.U16(1);
  o.U16(24);
  for (uint32_t v : {0u, kFrameBytes, 0u, 0u, 0u, 0u}) o.U32(v);
  o.Close(strf);
  o.Close(strl);
  o.Close(hdrl);
  const size_t movi = o.Open("LIST");
  const size_t moviType = o.Size();
  o.Tag("movi");
  std::vector<uint32_t> offsets;
  for (uint32_t f = 0; f < kFrames; ++f) {
    offsets.push_back(static_cast<uint32_t>(o.Size() - moviType));
    const size_t data = o.Open("00db");
    const std::vector<uint8_t> frame = Frame(f);
    o.Raw(frame.data(), frame.size());
    o.Close(data);
  }
  o.Close(movi);
  const size_t idx1 = o.Open("idx1");
  for (uint32_t offset : offsets) {
    o.Tag("00db");
    o.U32(0x10);
    o.U32(offset);
    o.U32(kFrameBytes);
  }
  o.Close(idx1);
  o.Close(riff);
  return std::move(o.Bytes());
}

bool Write(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_clip_module DIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  const std::vector<uint8_t> clip = Clip();
  orvex::test::PeWriter writer;
  writer.Add(orvex::test::ResId(u"AVI"), orvex::test::ResId(1), 0x0409, clip);
  if (!Write(dir + "/clip.avi", clip) || !Write(dir + "/clip.dll", writer.Build())) {
    std::fprintf(stderr, "make_clip_module: cannot write into %s\n", dir.c_str());
    return 1;
  }
  return 0;
}
