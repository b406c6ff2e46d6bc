// WAVE sounds: the header check on the project's fixtures and on copies with one field
// broken at a time, and decoding to 16-bit samples.
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <thread>

#include "media_fixtures.h"
#include "platform/media/wav_file.h"

namespace orvex {
namespace {

using test::Find;
using test::MediaFixture;
using test::Put16;
using test::Put32;
using test::PutText;

std::vector<int16_t> Samples(const char* name) {
  const std::vector<std::byte> bytes = MediaFixture(name);
  std::vector<int16_t> samples(bytes.size() / 2);
  std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
  return samples;
}

TEST(WavFile, ReadsTheHeaderOfTheFixture) {
  const std::vector<std::byte> bytes = MediaFixture("tone16.wav");
  auto info = ReadWavInfo(bytes);
  ASSERT_TRUE(info) << info.GetError().message;
  EXPECT_EQ(info->formatTag, WAVE_FORMAT_PCM);
  EXPECT_EQ(info->channels, 1);
  EXPECT_EQ(info->sampleRate, 8000u);
  EXPECT_EQ(info->bitsPerSample, 16);
  EXPECT_EQ(info->blockAlign, 2);
  EXPECT_EQ(info->dataOffset, Find(bytes, "data") + 8);
  EXPECT_EQ(info->dataSize, 4000u);
  EXPECT_EQ(info->frameCount, 2000u);
}

struct Decoded {
  const char* wav;
  const char* samples;
  uint32_t rate;
  uint16_t channels;
};

class WavDecode : public ::testing::TestWithParam<Decoded> {};

TEST_P(WavDecode, GivesTheSamplesItsGeneratorWrote) {
  auto sound = DecodeWav(MediaFixture(GetParam().wav));
  ASSERT_TRUE(sound) << sound.GetError().message;
  EXPECT_EQ(sound->SampleRate(), GetParam().rate);
  EXPECT_EQ(sound->Channels(), GetParam().channels);
  EXPECT_EQ(sound->Samples(), Samples(GetParam().samples));
}

INSTANTIATE_TEST_SUITE_P(Fixtures, WavDecode,
                         ::testing::Values(Decoded{"tone16.wav", "tone16.samples", 8000, 1},
                                           Decoded{"tone8.wav", "tone8.samples", 11025, 2}),
                         [](const auto& param) {
                           std::string name = param.param.wav;
                           return name.substr(0, name.find('.'));
                         });

// IMA ADPCM (as Wine's winecfg.exe keeps its sound): close to the samples ffmpeg decodes
// from the same file (ima16.wav and ima16.samples, written by ffmpeg from tone16.wav), as many as
// its "fact" chunk gives.
TEST(WavFile, DecodesImaAdpcmAsFfmpegDoes) {
  auto info = ReadWavInfo(MediaFixture("ima16.wav"));
  ASSERT_TRUE(info) << info.GetError().message;
  EXPECT_EQ(info->formatTag, WAVE_FORMAT_IMA_ADPCM);
  EXPECT_EQ(info->samplesPerBlock, 2041);
  EXPECT_EQ(info->frameCount, 2041u);
  auto sound = DecodeWav(MediaFixture("ima16.wav"));
  ASSERT_TRUE(sound) << sound.GetError().message;
  EXPECT_EQ(sound->SampleRate(), 8000u);
  // The two decoders round the step differently (shifts and adds against a product): the
  // samples agree within 0.2 % of full scale.
  const std::vector<int16_t> expected = Samples("ima16.samples");
  ASSERT_EQ(sound->Samples().size(), expected.size());
  int most = 0;
  for (size_t i = 0; i < expected.size(); ++i)
    most = std::max(most, std::abs(sound->Samples()[i] - expected[i]));
  EXPECT_LE(most, 64);  // of 32767
  // Without the fact chunk: every sample the block holds.
  std::vector<std::byte> noFact = MediaFixture("ima16.wav");
  PutText(noFact, Find(noFact, "fact"), "xact");
  auto whole = ReadWavInfo(noFact);
  ASSERT_TRUE(whole) << whole.GetError().message;
  EXPECT_EQ(whole->frameCount, 2041u);
  // A block cannot hold more samples than its bytes: 1024 bytes of mono IMA hold 2041.
  std::vector<std::byte> crowded = MediaFixture("ima16.wav");
  Put16(crowded, Find(crowded, "fmt ") + 8 + 18, 2042);
  auto refused = ReadWavInfo(crowded);
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.GetError().message, "ADPCM block of 1024 bytes and 2042 samples");
}

TEST(WavFile, IgnoresBytesAfterTheRiffForm) {
  std::vector<std::byte> bytes = MediaFixture("tone16.wav");
  bytes.resize(bytes.size() + 64, std::byte{0x55});
  auto sound = DecodeWav(bytes);
  ASSERT_TRUE(sound) << sound.GetError().message;
  EXPECT_EQ(sound->Samples(), Samples("tone16.samples"));
}

// A sound made from a file states its format before decoding; its samples are decoded once,
// by whichever thread asks first, and shared by its copies.
TEST(WavFile, ASoundFromAFileDecodesOnFirstUse) {
  auto sound = Sound::FromWav(MediaFixture("tone8.wav"));
  ASSERT_TRUE(sound) << sound.GetError().message;
  EXPECT_EQ(sound->SampleRate(), 11025u);
  EXPECT_EQ(sound->Channels(), 2);
  const std::vector<int16_t> expected = Samples("tone8.samples");
  EXPECT_EQ(sound->FrameCount(), expected.size() / 2);
  const Sound copy = *sound;
  const std::vector<int16_t>* seen[2] = {};
  std::thread other([&] { seen[0] = &copy.Samples(); });
  seen[1] = &sound->Samples();
  other.join();
  EXPECT_EQ(seen[0], seen[1]);
  EXPECT_EQ(*seen[0], expected);

  std::vector<std::byte> broken = MediaFixture("tone8.wav");
  broken[8] = std::byte{'X'};  // no WAVE form: refused before any decoding
  EXPECT_FALSE(Sound::FromWav(broken));
}

struct BrokenWav {
  const char* name;
  std::function<void(std::vector<std::byte>&)> damage;
  const char* reason;
};

size_t Fmt(const std::vector<std::byte>& b) {
  return Find(b, "fmt ") + 8;
}

const BrokenWav kBrokenWavs[] = {
    {"no RIFF", [](auto& b) { PutText(b, 0, "JUNK"); }, "not a RIFF file"},
    {"other form", [](auto& b) { PutText(b, 8, "AVI "); }, "RIFF form is 'AVI '"},
    {"RIFF size past the end", [](auto& b) { Put32(b, 4, 0xFFFFFFF0); }, "runs past the end"},
    {"cut short", [](auto& b) { b.resize(100); }, "runs past the end"},
    {"data past the end", [](auto& b) { Put32(b, Find(b, "data") + 4, 5000); },
     "chunk 'data' of 5000 bytes"},
    {"unknown format", [](auto& b) { Put16(b, Fmt(b), 0x55); },
     "format tag 85 is not one the sound decoder plays"},
    {"float of 16 bits", [](auto& b) { Put16(b, Fmt(b), 3); }, "16 bits per sample"},
    {"ADPCM of 16 bits", [](auto& b) { Put16(b, Fmt(b), 0x11); }, "16 bits per ADPCM sample"},
    {"no channels", [](auto& b) { Put16(b, Fmt(b) + 2, 0); }, "0 channels"},
    {"too many channels", [](auto& b) { Put16(b, Fmt(b) + 2, 200); }, "200 channels"},
    {"rate 0", [](auto& b) { Put32(b, Fmt(b) + 4, 0); }, "sample rate 0"},
    {"rate too high", [](auto& b) { Put32(b, Fmt(b) + 4, 10'000'000); }, "sample rate 10000000"},
    {"12 bits", [](auto& b) { Put16(b, Fmt(b) + 14, 12); }, "12 bits per sample"},
    {"block size", [](auto& b) { Put16(b, Fmt(b) + 12, 3); }, "block size 3"},
    {"short format", [](auto& b) { Put32(b, Find(b, "fmt ") + 4, 8); }, "too short"},
    {"no format chunk", [](auto& b) { PutText(b, Find(b, "fmt "), "junk"); },
     "the data chunk comes before the format chunk"},
    {"no data chunk", [](auto& b) { PutText(b, Find(b, "data"), "dat2"); }, "no data chunk"},
};

class WavBrokenHeader : public ::testing::TestWithParam<BrokenWav> {};

TEST_P(WavBrokenHeader, FailsWithItsReason) {
  std::vector<std::byte> bytes = MediaFixture("tone16.wav");
  GetParam().damage(bytes);
  auto sound = DecodeWav(bytes);
  ASSERT_FALSE(sound);
  EXPECT_NE(sound.GetError().message.find(GetParam().reason), std::string::npos)
      << sound.GetError().message;
}

INSTANTIATE_TEST_SUITE_P(Table, WavBrokenHeader, ::testing::ValuesIn(kBrokenWavs),
                         [](const auto& param) {
                           std::string name = param.param.name;
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

}  // namespace
}  // namespace orvex
