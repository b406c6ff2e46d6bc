// The AVI header check on the project's fixtures and on copies of them with one field
// broken at a time.
#include <gtest/gtest.h>

#include <cctype>
#include <functional>

#include "media_fixtures.h"
#include "platform/media/avi_file.h"
#include "platform/media/riff.h"

namespace orvex {
namespace {

using test::Find;
using test::MediaFixture;
using test::Put16;
using test::Put32;
using test::PutText;

TEST(AviFile, ReadsTheHeadersOfTheFixtures) {
  auto raw = ReadAviInfo(MediaFixture("raw24.avi"));
  ASSERT_TRUE(raw) << raw.GetError().message;
  EXPECT_EQ(raw->width, 7);
  EXPECT_EQ(raw->height, 5);
  EXPECT_FALSE(raw->topDown);
  EXPECT_EQ(raw->frameCount, 3u);
  EXPECT_EQ(raw->microsecondsPerFrame, 100000u);
  EXPECT_EQ(raw->compression, kAviCompressionRgb);
  EXPECT_EQ(raw->bitCount, 24);
  EXPECT_TRUE(raw->palette.empty());
  EXPECT_FALSE(raw->hasAudio);
  ASSERT_EQ(raw->streams.size(), 1u);
  EXPECT_EQ(raw->streams[0].type, FourCc("vids"));
  EXPECT_EQ(raw->streams[0].rate, 10u);
  EXPECT_EQ(raw->streams[0].length, 3u);

  const std::vector<std::byte> rleBytes = MediaFixture("rle8.avi");
  auto rle = ReadAviInfo(rleBytes);
  ASSERT_TRUE(rle) << rle.GetError().message;
  EXPECT_EQ(rle->width, 8);
  EXPECT_EQ(rle->height, 6);
  EXPECT_EQ(rle->compression, kAviCompressionRle8);
  EXPECT_EQ(rle->bitCount, 8);
  ASSERT_EQ(rle->palette.size(), 16u);
  EXPECT_EQ(rle->palette[1], 0x800000u);
  EXPECT_EQ(rle->palette[12], 0x0000FFu);
  EXPECT_EQ(rle->moviOffset, Find(rleBytes, "movi") + 4);
  EXPECT_EQ(rle->riffSize, rleBytes.size());
}

TEST(AviFile, AcceptsAudioStreamsBesideTheVideo) {
  // A stream list of an audio stream: 'strh' of type auds, 'strf' of a WAVEFORMAT.
  const std::vector<std::byte> bytes = test::WithAudioStream(MediaFixture("raw24.avi"));
  auto info = ReadAviInfo(bytes);
  ASSERT_TRUE(info) << info.GetError().message;
  EXPECT_TRUE(info->hasAudio);
  EXPECT_EQ(info->videoStream, 0u);
  EXPECT_EQ(info->streams.size(), 2u);
}

struct BrokenHeader {
  const char* name;
  const char* fixture;
  std::function<void(std::vector<std::byte>&)> damage;
  const char* reason;  // a part of the error text
};

void FieldOfStrf(std::vector<std::byte>& b, size_t field, uint32_t value) {
  Put32(b, Find(b, "strf") + 8 + field, value);
}

const BrokenHeader kBrokenHeaders[] = {
    {"no RIFF", "raw24.avi", [](auto& b) { PutText(b, 0, "RIFX"); }, "not a RIFF file"},
    {"other form", "raw24.avi", [](auto& b) { PutText(b, 8, "WAVE"); }, "RIFF form is 'WAVE'"},
    {"RIFF size past the end", "raw24.avi", [](auto& b) { Put32(b, 4, 0x7FFFFFF0); },
     "runs past the end"},
    {"cut short", "raw24.avi", [](auto& b) { b.resize(b.size() / 2); }, "runs past the end"},
    {"header list size past its form", "raw24.avi",
     [](auto& b) { Put32(b, Find(b, "hdrl") - 4, 0x10000); }, "runs past the end"},
    {"no main header", "raw24.avi", [](auto& b) { PutText(b, Find(b, "avih"), "junk"); },
     "does not start with 'avih'"},
    {"short main header", "raw24.avi", [](auto& b) { Put32(b, Find(b, "avih") + 4, 8); },
     "main header of 8 bytes is too short"},
    {"short stream header", "raw24.avi", [](auto& b) { Put32(b, Find(b, "strh") + 4, 20); },
     "stream 0"},
    {"no stream format", "raw24.avi", [](auto& b) { PutText(b, Find(b, "strf"), "strx"); },
     "no stream format"},
    {"no video stream", "raw24.avi", [](auto& b) { PutText(b, Find(b, "vids"), "txts"); },
     "no video stream"},
    {"bitmap header size 0", "raw24.avi", [](auto& b) { FieldOfStrf(b, 0, 0); },
     "bitmap header size 0"},
    {"bitmap header past its chunk", "raw24.avi", [](auto& b) { FieldOfStrf(b, 0, 400); },
     "bitmap header size 400"},
    {"zero width", "raw24.avi", [](auto& b) { FieldOfStrf(b, 4, 0); }, "bad frame size"},
    {"negative width", "raw24.avi", [](auto& b) { FieldOfStrf(b, 4, 0xFFFFFFF0); },
     "bad frame size"},
    {"frame too large", "raw24.avi",
     [](auto& b) {
       FieldOfStrf(b, 4, 0x10000);
       FieldOfStrf(b, 8, 0x10000);
     },
     "too large"},
    {"uncompressed 7 bits", "raw24.avi", [](auto& b) { Put16(b, Find(b, "strf") + 8 + 14, 7); },
     "uncompressed frames with 7 bits"},
    {"RLE8 of 4 bits", "rle8.avi", [](auto& b) { Put16(b, Find(b, "strf") + 8 + 14, 4); },
     "RLE8 frames with 4 bits"},
    {"colour table over 256", "rle8.avi", [](auto& b) { FieldOfStrf(b, 32, 300); },
     "colour table of 300 entries"},
    {"colour table past its chunk", "rle8.avi", [](auto& b) { FieldOfStrf(b, 32, 200); },
     "runs past the video format"},
    {"no frames", "raw24.avi", [](auto& b) { Put32(b, Find(b, "avih") + 8 + 16, 0); }, "no frames"},
    {"more frames than the movie list holds", "raw24.avi",
     [](auto& b) { Put32(b, Find(b, "avih") + 8 + 16, 0xFFFFFFFF); }, "more than the movie list"},
    {"no movie list", "raw24.avi", [](auto& b) { PutText(b, Find(b, "movi"), "movx"); },
     "no movie list"},
    {"movie list before the headers", "raw24.avi",
     [](auto& b) {
       PutText(b, Find(b, "hdrl"), "movi");
       PutText(b, Find(b, "movi", Find(b, "movi") + 4), "hdrl");
     },
     "the movie list comes before the header list"},
};

class AviBrokenHeader : public ::testing::TestWithParam<BrokenHeader> {};

TEST_P(AviBrokenHeader, FailsWithItsReason) {
  std::vector<std::byte> bytes = MediaFixture(GetParam().fixture);
  GetParam().damage(bytes);
  auto info = ReadAviInfo(bytes);
  ASSERT_FALSE(info);
  EXPECT_NE(info.GetError().message.find(GetParam().reason), std::string::npos)
      << info.GetError().message;
}

INSTANTIATE_TEST_SUITE_P(Table, AviBrokenHeader, ::testing::ValuesIn(kBrokenHeaders),
                         [](const auto& param) {
                           std::string name = param.param.name;
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

TEST(AviFile, BoundsTheNumberOfStreams) {
  std::vector<std::byte> bytes = MediaFixture("raw24.avi");
  const size_t strl = Find(bytes, "strl") - 8;
  const std::vector<std::byte> copy(
      bytes.begin() + static_cast<std::ptrdiff_t>(strl),
      bytes.begin() + static_cast<std::ptrdiff_t>(strl + 8 + test::Get32(bytes, strl + 4)));
  for (size_t i = 1; i < kMaxAviStreams; ++i)
    test::AppendToList(bytes, Find(bytes, "hdrl") - 8, copy);
  ASSERT_TRUE(ReadAviInfo(bytes)) << "as many streams as allowed";
  test::AppendToList(bytes, Find(bytes, "hdrl") - 8, copy);
  auto info = ReadAviInfo(bytes);
  ASSERT_FALSE(info);
  EXPECT_NE(info.GetError().message.find("more than 16 streams"), std::string::npos)
      << info.GetError().message;
}

}  // namespace
}  // namespace orvex
