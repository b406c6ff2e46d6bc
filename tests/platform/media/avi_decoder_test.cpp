// Frames of AVI clips decoded one at a time: the project's fixtures pixel for pixel against
// what their generator wrote, rewinding, codecs the caller did not accept, and a clip of
// Wine's shell32.dll against FFmpeg's own command-line decoding.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "media_fixtures.h"
#include "platform/media/avi_decoder.h"
#include "platform/module/module.h"
#include "support/temp_dir.h"

namespace orvex {
namespace {

using test::Find;
using test::MediaFixture;

constexpr VideoCodecs kAll{VideoCodec::Raw, VideoCodec::Rle8, VideoCodec::MsVideo1,
                           VideoCodec::Cinepak};

// Every frame the decoder gives, in order.
std::vector<Pixels> AllFrames(AviDecoder& decoder) {
  std::vector<Pixels> frames;
  for (;;) {
    auto frame = decoder.NextFrame();
    EXPECT_TRUE(frame) << (frame ? "" : frame.GetError().message);
    if (!frame || !*frame) return frames;
    frames.push_back(std::move(**frame));
  }
}

std::vector<uint32_t> Joined(const std::vector<Pixels>& frames) {
  std::vector<uint32_t> words;
  for (const Pixels& frame : frames)
    words.insert(words.end(), frame.bgra.begin(), frame.bgra.end());
  return words;
}

struct Clip {
  const char* name;
  VideoCodec codec;
  int32_t width, height;
  size_t frames;
};

class AviDecoderClip : public ::testing::TestWithParam<Clip> {};

TEST_P(AviDecoderClip, DecodesEveryFrameAsItsGeneratorWroteIt) {
  const Clip& clip = GetParam();
  auto decoder = AviDecoder::Open(MediaFixture(std::string(clip.name) + ".avi"), kAll);
  ASSERT_TRUE(decoder) << decoder.GetError().message;
  EXPECT_EQ((*decoder)->Codec(), clip.codec);
  const std::vector<Pixels> frames = AllFrames(**decoder);
  ASSERT_EQ(frames.size(), clip.frames);
  for (const Pixels& frame : frames) {
    EXPECT_EQ(frame.width, clip.width);
    EXPECT_EQ(frame.height, clip.height);
  }
  EXPECT_EQ(Joined(frames), test::FixtureWords(std::string(clip.name) + ".bgra"));
  // Past the end it stays at the end.
  auto after = (*decoder)->NextFrame();
  ASSERT_TRUE(after);
  EXPECT_FALSE(*after);
}

TEST_P(AviDecoderClip, RewindsToTheFirstFrameFromAnywhere) {
  const Clip& clip = GetParam();
  auto decoder = AviDecoder::Open(MediaFixture(std::string(clip.name) + ".avi"), kAll);
  ASSERT_TRUE(decoder) << decoder.GetError().message;
  const std::vector<Pixels> first = AllFrames(**decoder);
  ASSERT_TRUE((*decoder)->Rewind());
  EXPECT_EQ((*decoder)->NextFrameIndex(), 0u);
  // Two frames in, rewind again: delta frames must not draw over the old picture.
  ASSERT_TRUE((*decoder)->NextFrame());
  ASSERT_TRUE((*decoder)->NextFrame());
  EXPECT_EQ((*decoder)->NextFrameIndex(), 2u);
  ASSERT_TRUE((*decoder)->Rewind());
  EXPECT_EQ(Joined(AllFrames(**decoder)), Joined(first));
}

INSTANTIATE_TEST_SUITE_P(Fixtures, AviDecoderClip,
                         ::testing::Values(Clip{"raw24", VideoCodec::Raw, 7, 5, 3},
                                           Clip{"rle8", VideoCodec::Rle8, 8, 6, 3},
                                           // made and decoded by ffmpeg (make_codec_clips.sh)
                                           Clip{"cram", VideoCodec::MsVideo1, 16, 12, 3},
                                           Clip{"cvid", VideoCodec::Cinepak, 16, 12, 3}),
                         [](const auto& param) { return std::string(param.param.name); });

struct Refusal {
  const char* name;
  const char* fixture;
  const char* compression;  // written over the format's compression (and handler), or null
  VideoCodecs accepted;
  const char* reason;
};

const Refusal kRefusals[] = {
    {"uncompressed_not_accepted",
     "raw24.avi",
     nullptr,
     {VideoCodec::Rle8},
     "video codec 'uncompressed' is not accepted"},
    {"rle8_not_accepted",
     "rle8.avi",
     nullptr,
     {VideoCodec::Raw},
     "video codec 'RLE8' is not accepted"},
    {"cinepak_not_accepted",
     "raw24.avi",
     "cvid",
     {VideoCodec::Raw, VideoCodec::Rle8},
     "video codec 'cvid' is not accepted"},
    {"codec_outside_the_set", "raw24.avi", "MJPG", kAll, "video codec 'MJPG' is not accepted"},
    {"unknown_codec", "raw24.avi", "QQQQ", kAll, "video codec 'QQQQ' is not accepted"},
};

class AviDecoderRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(AviDecoderRefusal, RefusesCodecsTheCallerDidNotAccept) {
  const Refusal& refusal = GetParam();
  std::vector<std::byte> bytes = MediaFixture(refusal.fixture);
  if (refusal.compression) {
    test::PutText(bytes, Find(bytes, "strf") + 8 + 16, refusal.compression);
    test::PutText(bytes, Find(bytes, "vids") + 4, refusal.compression);
  }
  auto decoder = AviDecoder::Open(bytes, refusal.accepted);
  ASSERT_FALSE(decoder);
  EXPECT_EQ(decoder.GetError().message, refusal.reason);
}

INSTANTIATE_TEST_SUITE_P(Table, AviDecoderRefusal, ::testing::ValuesIn(kRefusals),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(AviDecoder, PassesOnTheHeaderCheck) {
  std::vector<std::byte> bytes = MediaFixture("raw24.avi");
  test::PutText(bytes, Find(bytes, "movi"), "movx");
  auto decoder = AviDecoder::Open(bytes, kAll);
  ASSERT_FALSE(decoder);
  EXPECT_NE(decoder.GetError().message.find("no movie list"), std::string::npos);
}

TEST(AviDecoder, EndsAtAFrameChunkThatRunsPastTheFile) {
  // The last frame's chunk claims more bytes than the file holds; the frames before it
  // still decode, and what comes after is the end or an error, never bytes past the file.
  std::vector<std::byte> bytes = MediaFixture("raw24.avi");
  size_t chunk = Find(bytes, "00db");
  chunk = Find(bytes, "00db", chunk + 4);
  chunk = Find(bytes, "00db", chunk + 4);
  test::Put32(bytes, chunk + 4, 0x7FFFFFF0);
  auto decoder = AviDecoder::Open(bytes, kAll);
  ASSERT_TRUE(decoder) << decoder.GetError().message;
  const std::vector<uint32_t> expected = test::FixtureWords("raw24.bgra");
  for (size_t i = 0; i < 2; ++i) {
    auto frame = (*decoder)->NextFrame();
    ASSERT_TRUE(frame && *frame) << i;
    EXPECT_TRUE(std::equal((*frame)->bgra.begin(), (*frame)->bgra.end(),
                           expected.begin() + static_cast<std::ptrdiff_t>(i * 35)));
  }
  auto last = (*decoder)->NextFrame();
  EXPECT_TRUE(!last || !*last);
}

// FFmpeg's command-line tool decodes the same clip to BGRA words.
std::vector<uint32_t> FfmpegFrames(const std::string& path) {
  const std::string command = "ffmpeg -v error -i '" + path + "' -f rawvideo -pix_fmt bgra -";
  FILE* pipe = popen(command.c_str(), "r");
  std::vector<uint32_t> words;
  if (!pipe) return words;
  uint32_t word;
  while (std::fread(&word, 4, 1, pipe) == 1) words.push_back(word);
  pclose(pipe);
  return words;
}

TEST(AviDecoder, DecodesShell32ClipLikeFfmpeg) {
  const char kShell32[] = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/shell32.dll";
  if (!std::filesystem::exists(kShell32)) GTEST_SKIP() << "no Wine corpus";
  if (std::system("ffmpeg -version > /dev/null 2>&1") != 0) GTEST_SKIP() << "no ffmpeg";
  const HMODULE module = LoadLibraryExA(kShell32, 0, 0);
  ASSERT_NE(module, 0u);
  const HRSRC resource = FindResourceA(module, "#160", "AVI");
  ASSERT_NE(resource, 0u);
  const auto* data = static_cast<const std::byte*>(LockResource(LoadResource(module, resource)));
  std::vector<std::byte> bytes(data, data + SizeofResource(module, resource));
  FreeLibrary(module);

  test::TempDir temp;
  const std::string path = temp.File("shell32_160.avi");
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  const std::vector<uint32_t> expected = FfmpegFrames(path);

  auto decoder = AviDecoder::Open(bytes, {VideoCodec::Raw, VideoCodec::Rle8});
  ASSERT_TRUE(decoder) << decoder.GetError().message;
  EXPECT_EQ((*decoder)->Info().bitCount, 16);
  const std::vector<Pixels> frames = AllFrames(**decoder);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0].width, 80);
  EXPECT_EQ(frames[0].height, 50);
  ASSERT_EQ(expected.size(), 2u * 80 * 50);
  EXPECT_EQ(Joined(frames), expected);
}

}  // namespace
}  // namespace orvex
