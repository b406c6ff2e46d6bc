// sndPlaySoundA into the recording device: synchronous, asynchronous and looping sounds,
// stopping, memory images, SND_NOSTOP, and unplayable sounds answered as the platform
// answers them under Wine (tests/wine/sound/expected.txt).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "media_fixtures.h"
#include "platform/fs/drive_testing.h"
#include "platform/media/default_sound.h"
#include "platform/media/sound.h"
#include "platform/media/sound_device.h"
#include "support/temp_dir.h"
#include "support/wine_expected.h"

namespace orvex {
namespace {

using test::MediaFixture;

void WriteFile(const std::string& path, const std::vector<std::byte>& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

std::vector<int16_t> ToneSamples() {
  auto sound = DecodeWav(MediaFixture("tone16.wav"));
  return sound ? sound->Samples() : std::vector<int16_t>{};
}

// Every test plays into its own recording device, with its own drive folder holding the
// fixture sounds as C:\tone16.wav and C:\tone8.wav.
class SoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDriveRootForTesting(temp_.Path());
    WriteFile(temp_.File("tone16.wav"), MediaFixture("tone16.wav"));
    WriteFile(temp_.File("tone8.wav"), MediaFixture("tone8.wav"));
    previous_ = InstallSoundDevice(device_);
  }
  void TearDown() override {
    InstallSoundDevice(previous_);
    SetDriveRootForTesting("");
  }

  test::TempDir temp_;
  std::shared_ptr<RecordingSoundDevice> device_ = std::make_shared<RecordingSoundDevice>();
  std::shared_ptr<SoundDevice> previous_;
};

TEST_F(SoundTest, SyncPlaysTheFileToItsEndBeforeReturning) {
  EXPECT_EQ(sndPlaySoundA("C:\\tone16.wav", SND_SYNC), TRUE);
  EXPECT_TRUE(device_->IsIdle());
  const auto entries = device_->Entries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_FALSE(entries[0].loop);
  EXPECT_FALSE(entries[0].stopped);
  EXPECT_EQ(entries[0].sound->SampleRate(), 8000u);
  EXPECT_EQ(entries[0].sound->Samples(), ToneSamples());
}

TEST_F(SoundTest, AsyncReturnsWhileTheSoundPlays) {
  EXPECT_EQ(sndPlaySoundA("C:\\tone16.wav", SND_ASYNC), TRUE);
  EXPECT_FALSE(device_->IsIdle());
  device_->FinishCurrent();
  EXPECT_TRUE(device_->IsIdle());
  ASSERT_EQ(device_->Entries().size(), 1u);
  EXPECT_FALSE(device_->Entries()[0].stopped);
}

TEST_F(SoundTest, ALoopPlaysUntilANullNameStopsIt) {
  EXPECT_EQ(sndPlaySoundA("C:\\tone16.wav", SND_ASYNC | SND_LOOP), TRUE);
  device_->FinishCurrent();  // a loop does not end by itself
  EXPECT_FALSE(device_->IsIdle());
  EXPECT_EQ(sndPlaySoundA(nullptr, 0), TRUE);
  EXPECT_TRUE(device_->IsIdle());
  const auto entries = device_->Entries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_TRUE(entries[0].loop);
  EXPECT_TRUE(entries[0].stopped);
}

TEST_F(SoundTest, LoopWithoutAsyncPlaysOnce) {
  EXPECT_EQ(sndPlaySoundA("C:\\tone16.wav", SND_LOOP), TRUE);
  EXPECT_TRUE(device_->IsIdle());
  ASSERT_EQ(device_->Entries().size(), 1u);
  EXPECT_FALSE(device_->Entries()[0].loop);
}

TEST_F(SoundTest, ANewSoundStopsTheCurrentOne) {
  EXPECT_EQ(sndPlaySoundA("C:\\tone16.wav", SND_ASYNC | SND_LOOP), TRUE);
  EXPECT_EQ(sndPlaySoundA("C:\\tone8.wav", SND_ASYNC), TRUE);
  const auto entries = device_->Entries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_TRUE(entries[0].stopped);
  EXPECT_EQ(entries[1].sound->Channels(), 2);
}

TEST_F(SoundTest, NoStopFailsWhileASoundPlaysAndPlaysWhenIdle) {
  EXPECT_EQ(sndPlaySoundA("C:\\tone16.wav", SND_ASYNC), TRUE);
  EXPECT_EQ(sndPlaySoundA("C:\\tone8.wav", SND_ASYNC | SND_NOSTOP), FALSE);
  ASSERT_EQ(device_->Entries().size(), 1u);
  EXPECT_FALSE(device_->IsIdle()) << "the first sound goes on";
  device_->FinishCurrent();
  EXPECT_EQ(sndPlaySoundA("C:\\tone8.wav", SND_ASYNC | SND_NOSTOP), TRUE);
  EXPECT_EQ(device_->Entries().size(), 2u);
}

TEST_F(SoundTest, PlaysAMemoryImage) {
  const std::vector<std::byte> image = MediaFixture("tone16.wav");
  EXPECT_EQ(sndPlaySoundA(reinterpret_cast<LPCSTR>(image.data()), SND_MEMORY | SND_SYNC), TRUE);
  ASSERT_EQ(device_->Entries().size(), 1u);
  EXPECT_EQ(device_->Entries()[0].sound->Samples(), ToneSamples());
}

TEST_F(SoundTest, ReadsTheFileWhenCalled) {
  EXPECT_EQ(sndPlaySoundA("C:\\tone16.wav", SND_ASYNC), TRUE);
  // The same path rewritten while the sound plays does not change it.
  WriteFile(temp_.File("tone16.wav"), MediaFixture("tone8.wav"));
  ASSERT_EQ(device_->Entries().size(), 1u);
  EXPECT_EQ(device_->Entries()[0].sound->Samples(), ToneSamples());
}

TEST_F(SoundTest, PlaysPosixPathsAsGiven) {
  EXPECT_EQ(sndPlaySoundA(temp_.File("tone16.wav").c_str(), SND_SYNC), TRUE);
  EXPECT_EQ(device_->Entries().size(), 1u);
}

TEST_F(SoundTest, RecordingWritesWhatReachedTheDeviceAsAWave) {
  EXPECT_EQ(sndPlaySoundA("C:\\tone16.wav", SND_SYNC), TRUE);
  EXPECT_EQ(sndPlaySoundA("C:\\tone16.wav", SND_SYNC), TRUE);
  const std::string path = temp_.File("recorded.wav");
  ASSERT_TRUE(device_->WriteWav(path));
  std::ifstream in(path, std::ios::binary);
  std::vector<char> chars((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  auto recorded = DecodeWav(AsBytes(chars.data(), chars.size()));
  ASSERT_TRUE(recorded) << recorded.GetError().message;
  std::vector<int16_t> twice = ToneSamples();
  twice.insert(twice.end(), twice.begin(), twice.end());
  EXPECT_EQ(recorded->Samples(), twice);
  // Sounds of another format cannot join them in one file.
  EXPECT_EQ(sndPlaySoundA("C:\\tone8.wav", SND_SYNC), TRUE);
  EXPECT_FALSE(device_->WriteWav(path));
}

// What the platform answered under Wine, by case name.
std::map<std::string, std::string> WineResults() {
  std::ifstream in(std::string(ORVEX_SOURCE_DIR) + "/tests/wine/sound/expected.txt");
  std::map<std::string, std::string> results;
  std::string line, phase;
  while (std::getline(in, line)) {
    auto fields = test::ExpectedFields(line);
    if (fields.count("phase")) phase = fields["phase"];
    if (fields.count("case") && phase != "default_sound_set")
      results[fields["case"]] = fields["result"];
  }
  return results;
}

struct Unplayable {
  const char* wineCase;  // the case of tests/wine/sound/sound.c
  const char* name;      // a file name, or the bytes of a memory image
  UINT flags;
};

constexpr char kNotWave[] = "RIFF\x04\x00\x00\x00JUNK";

const Unplayable kUnplayable[] = {
    {"missing_sync", "C:\\no\\such\\file.wav", SND_SYNC},
    {"missing_sync_nodefault", "C:\\no\\such\\file.wav", SND_SYNC | SND_NODEFAULT},
    {"missing_async", "C:\\no\\such\\file.wav", SND_ASYNC},
    {"missing_async_nodefault", "C:\\no\\such\\file.wav", SND_ASYNC | SND_NODEFAULT},
    {"not_wave_file_sync", "C:\\bad.wav", SND_SYNC},
    {"not_wave_file_sync_nodefault", "C:\\bad.wav", SND_SYNC | SND_NODEFAULT},
    {"memory_not_wave_sync", kNotWave, SND_MEMORY | SND_SYNC},
    {"memory_not_wave_sync_nodefault", kNotWave, SND_MEMORY | SND_SYNC | SND_NODEFAULT},
};

class UnplayableSound : public SoundTest, public ::testing::WithParamInterface<Unplayable> {};

TEST_P(UnplayableSound, AnswersAsThePlatformAndPlaysTheDefaultUnlessTold) {
  const Unplayable& c = GetParam();
  WriteFile(temp_.File("bad.wav"), {std::byte{'h'}, std::byte{'e'}, std::byte{'l'}});
  const std::map<std::string, std::string> wine = WineResults();
  ASSERT_TRUE(wine.count(c.wineCase)) << "no line for " << c.wineCase;
  EXPECT_EQ(std::to_string(sndPlaySoundA(c.name, c.flags)), wine.at(c.wineCase));
  const auto entries = device_->Entries();
  if (c.flags & SND_NODEFAULT) {
    EXPECT_TRUE(entries.empty());
  } else {
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].sound, DefaultSound());
    EXPECT_EQ(device_->IsIdle(), !(c.flags & SND_ASYNC)) << "a synchronous call waits for it";
  }
}

INSTANTIATE_TEST_SUITE_P(Wine, UnplayableSound, ::testing::ValuesIn(kUnplayable),
                         [](const auto& param) { return std::string(param.param.wineCase); });

TEST_F(SoundTest, AnUnplayableSoundStopsTheCurrentOne) {
  EXPECT_EQ(sndPlaySoundA("C:\\tone16.wav", SND_ASYNC | SND_LOOP), TRUE);
  EXPECT_EQ(sndPlaySoundA("C:\\missing.wav", SND_ASYNC | SND_NODEFAULT), TRUE);
  EXPECT_TRUE(device_->IsIdle());
  EXPECT_TRUE(device_->Entries()[0].stopped);
}

TEST(NullSoundDevice, TakesASoundForItsDurationAndALoopUntilStopped) {
  NullSoundDevice device;
  auto shortSound = std::make_shared<Sound>(8000, 1, std::vector<int16_t>(80));  // 10 ms
  device.Play(shortSound, false);
  device.WaitUntilIdle();
  EXPECT_TRUE(device.IsIdle());
  device.Play(shortSound, true);
  device.WaitUntilIdle();  // returns at once for a loop
  EXPECT_FALSE(device.IsIdle());
  device.Stop();
  EXPECT_TRUE(device.IsIdle());
  device.Play(std::make_shared<Sound>(Sound{8000, 1, {}}), false);
  EXPECT_TRUE(device.IsIdle()) << "an empty sound is over at once";
}

}  // namespace
}  // namespace orvex
