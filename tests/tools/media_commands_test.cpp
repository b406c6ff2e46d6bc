// `orvex play` and `orvex avi` end to end on fixture modules holding the media fixtures:
// the recorded sound read back with the resource's rate, channels and length, the clip's
// frames read back from the GIF and the PNGs, and the failures a user sees.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

#include "orvex_run.h"
#include "pe_writer/pe_writer.h"
#include "platform/gdi/png_image.h"
#include "platform/media/wav_file.h"

namespace orvex::test {
namespace {

std::vector<uint8_t> Fixture(const char* name) {
  const std::string text =
      ReadWholeFile(std::string(ORVEX_SOURCE_DIR) + "/tests/fixtures/media/" + name);
  return {text.begin(), text.end()};
}

// The frames a decoder must give for a clip (tests/fixtures/media/*.bgra).
std::vector<std::vector<uint32_t>> ReferenceFrames(const char* name, size_t pixels) {
  const std::vector<uint8_t> bytes = Fixture(name);
  std::vector<std::vector<uint32_t>> frames;
  for (size_t at = 0; at + pixels * 4 <= bytes.size(); at += pixels * 4) {
    std::vector<uint32_t> frame(pixels);
    std::memcpy(frame.data(), bytes.data() + at, pixels * 4);
    frames.push_back(std::move(frame));
  }
  return frames;
}

// What ffprobe reads of a sound file's first stream: "rate channels samples".
std::string Probe(const std::string& path) {
  const std::string command =
      "ffprobe -v error -select_streams a:0 -show_entries stream=sample_rate,channels,duration_ts "
      "-of default=noprint_wrappers=1:nokey=1 '" +
      path + "' 2>/dev/null";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::string out;
  char buffer[256];
  while (pipe && std::fgets(buffer, sizeof buffer, pipe.get())) out += buffer;
  for (char& c : out)
    if (c == '\n') c = ' ';
  return out;
}

class MediaModule : public ::testing::Test {
 protected:
  void SetUp() override {
    PeWriter writer;
    writer.Add(ResId(u"WAV"), ResId(1), 0x0409, Fixture("tone16.wav"));
    writer.Add(ResId(u"WAV"), ResId(u"CHIME"), 0x0409, Fixture("tone8.wav"));
    writer.Add(ResId(u"WAVE"), ResId(2), 0x0409, Fixture("tone16.wav"));
    writer.Add(ResId(u"AVI"), ResId(1), 0x0409, Fixture("raw24.avi"));
    writer.Add(ResId(u"AVI"), ResId(2), 0x0409, Fixture("rle8.avi"));
    writer.Add(ResId(u"AVI"), ResId(3), 0x0409, Fixture("tone16.wav"));  // no clip
    // Two names that give one temporary file (the name's first character is dropped).
    writer.Add(ResId(u"WAV"), ResId(u"CLIP"), 0x0409, Fixture("tone16.wav"));
    writer.Add(ResId(u"WAV"), ResId(u"RLIP"), 0x0409, Fixture("tone8.wav"));
    writer.Add(ResId(u"AVI"), ResId(u"CLIP"), 0x0409, Fixture("raw24.avi"));
    writer.Add(ResId(u"AVI"), ResId(u"RLIP"), 0x0409, Fixture("rle8.avi"));
    module_ = dir_.Write("media.dll", writer.Build());
    // A drive C of the test's own, so no other test's client shares the temporary files.
    const std::string drive = dir_.File("drive_c");
    std::filesystem::create_directory(drive);
    setenv("ORVEX_DRIVE_C", drive.c_str(), 1);
    tmpFolder_ = drive + "/Retmpfld";
  }
  // The names of the files in the resource temporary folder.
  std::vector<std::string> TmpFiles() const {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(tmpFolder_, error))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string tmpFolder_;
  void TearDown() override { unsetenv("ORVEX_DRIVE_C"); }
  TempDir dir_;
  std::string module_;
};

TEST_F(MediaModule, PlayToAFileRecordsTheSoundAsTheResourceHoldsIt) {
  struct Case {
    const char* name;
    const char* fixture;
  };
  for (const Case& c : {Case{"#1", "tone16.wav"}, Case{"CHIME", "tone8.wav"}}) {
    SCOPED_TRACE(c.name);
    const std::string out = dir_.File(std::string("out") + (c.name[0] == '#' ? "1" : "c") + ".wav");
    const OrvexRun run = RunOrvex({"play", module_, c.name, "--to", out});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<uint8_t> resource = Fixture(c.fixture);
    const auto expected = ReadWavInfo(AsBytes(resource.data(), resource.size()));
    ASSERT_TRUE(expected);
    const std::string recorded = ReadWholeFile(out);
    const auto got = ReadWavInfo(AsBytes(recorded.data(), recorded.size()));
    ASSERT_TRUE(got) << got.GetError().message;
    EXPECT_EQ(got->sampleRate, expected->sampleRate);
    EXPECT_EQ(got->channels, expected->channels);
    EXPECT_EQ(got->frameCount, expected->frameCount);
    EXPECT_EQ(Probe(out), std::to_string(expected->sampleRate) + " " +
                              std::to_string(expected->channels) + " " +
                              std::to_string(expected->frameCount) + " ");
  }
}

// "rate channels frames" of a WAV file's bytes.
std::string SoundShape(const std::string& bytes) {
  const auto info = ReadWavInfo(AsBytes(bytes.data(), bytes.size()));
  if (!info) return "unreadable: " + info.GetError().message;
  return std::to_string(info->sampleRate) + " " + std::to_string(info->channels) + " " +
         std::to_string(info->frameCount);
}

// Two resources whose temporary files collide, played one after the other and at once by
// two processes: each records its own sound; the commands leave no file of theirs in the
// temporary folder and keep the file that was there before.
TEST_F(MediaModule, CollidingTemporaryNamesPlayTheirOwnBytesAndAreCleanedUp) {
  std::filesystem::create_directories(tmpFolder_);
  { std::ofstream(tmpFolder_ + "/keep.bin") << "not ours"; }
  const std::string clip =
      SoundShape(ReadWholeFile(ORVEX_SOURCE_DIR "/tests/fixtures/media/tone16.wav"));
  const std::string rlip =
      SoundShape(ReadWholeFile(ORVEX_SOURCE_DIR "/tests/fixtures/media/tone8.wav"));
  ASSERT_NE(clip, rlip);
  const std::string clipOut = dir_.File("clip.wav");
  const std::string rlipOut = dir_.File("rlip.wav");
  for (int round = 0; round < 4; ++round) {
    SCOPED_TRACE(round);
    OrvexRun first;
    OrvexRun second;
    if (round == 0) {
      first = RunOrvex({"play", module_, "CLIP", "--to", clipOut});
      second = RunOrvex({"play", module_, "RLIP", "--to", rlipOut});
    } else {
      std::thread other([&] { second = RunOrvex({"play", module_, "RLIP", "--to", rlipOut}); });
      first = RunOrvex({"play", module_, "CLIP", "--to", clipOut});
      other.join();
    }
    ASSERT_EQ(first.status, 0) << first.err;
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(SoundShape(ReadWholeFile(clipOut)), clip);
    EXPECT_EQ(SoundShape(ReadWholeFile(rlipOut)), rlip);
    EXPECT_EQ(TmpFiles(), std::vector<std::string>{"keep.bin"});
  }
  for (const char* road : {"", "--show"}) {
    std::vector<std::string> arguments{"avi", module_, "RLIP", "-o", dir_.File("rlip.gif")};
    if (*road) arguments.push_back(road);
    const OrvexRun run = RunOrvex(arguments);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(TmpFiles(), std::vector<std::string>{"keep.bin"}) << road;
  }
  EXPECT_EQ(ReadWholeFile(tmpFolder_ + "/keep.bin"), "not ours");
}

// Wine's winecfg.exe keeps its sound under the type WAVE, which PlayWAV does not look in.
TEST_F(MediaModule, PlayOfASoundNotUnderWavFailsWithOneMessage) {
  const std::string winecfg = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/winecfg.exe";
  struct Case {
    std::string module;
    const char* name;
  };
  for (const Case& c : {Case{module_, "#2"}, Case{winecfg, "#1308"}}) {
    SCOPED_TRACE(c.module);
    if (!std::filesystem::exists(c.module)) continue;  // no Wine corpus
    const OrvexRun run = RunOrvex({"play", c.module, c.name, "--to", dir_.File("none.wav")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(std::string("no WAV sound named ") + c.name), std::string::npos)
        << run.err;
    EXPECT_FALSE(std::filesystem::exists(dir_.File("none.wav")));
  }
}

// --type plays a RIFF WAVE resource of any type through the platform's sound function:
// the fixture's WAVE #2 and Wine's IMA ADPCM sound in winecfg.exe (44.1 kHz mono, 24534
// frames by its fact chunk, as ffprobe counts them).
TEST_F(MediaModule, PlayWithATypeRecordsAnyWaveResource) {
  struct Case {
    std::string module;
    const char* type;
    const char* name;
    std::string shape;
  };
  const std::string winecfg = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/winecfg.exe";
  const Case cases[] = {
      {module_, "WAVE", "#2",
       SoundShape(ReadWholeFile(ORVEX_SOURCE_DIR "/tests/fixtures/media/tone16.wav"))},
      {module_, "wav", "CHIME",
       SoundShape(ReadWholeFile(ORVEX_SOURCE_DIR "/tests/fixtures/media/tone8.wav"))},
      {winecfg, "WAVE", "#1308", "44100 1 24534"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (!std::filesystem::exists(c.module)) continue;  // no Wine corpus
    const std::string out = dir_.File("typed.wav");
    const OrvexRun run = RunOrvex({"play", c.module, c.name, "--type", c.type, "--to", out});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(SoundShape(ReadWholeFile(out)), c.shape);
  }
  // A resource that is no WAVE sound, and one that does not exist: one message each.
  const OrvexRun clip =
      RunOrvex({"play", module_, "#1", "--type", "AVI", "--to", dir_.File("n.wav")});
  EXPECT_EQ(clip.status, 1);
  EXPECT_EQ(clip.err, "orvex: cannot play AVI #1: RIFF form is 'AVI ', not 'WAVE'\n");
  const OrvexRun missing = RunOrvex({"play", module_, "#7", "--type", "WAVE"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("no WAVE resource named #7"), std::string::npos) << missing.err;
  EXPECT_FALSE(std::filesystem::exists(dir_.File("n.wav")));
}

// Every frame of the clip, as the decoder gives it, in the GIF and in the PNGs.
TEST_F(MediaModule, AviWritesEveryFrameAsGifOrPngs) {
  struct Case {
    const char* name;
    const char* reference;
    int width, height;
  };
  for (const Case& c : {Case{"#1", "raw24.bgra", 7, 5}, Case{"#2", "rle8.bgra", 8, 6}}) {
    SCOPED_TRACE(c.name);
    const auto frames = ReferenceFrames(c.reference, static_cast<size_t>(c.width) * c.height);
    ASSERT_EQ(frames.size(), 3u);

    const std::string gifPath = dir_.File(std::string("clip") + (c.name + 1) + ".gif");
    OrvexRun run = RunOrvex({"avi", module_, c.name, "-o", gifPath});
    ASSERT_EQ(run.status, 0) << run.err;
    int error = 0;
    GifFileType* gif = DGifOpenFileName(gifPath.c_str(), &error);
    ASSERT_NE(gif, nullptr);
    ASSERT_EQ(DGifSlurp(gif), GIF_OK);
    ASSERT_EQ(gif->ImageCount, 3);
    for (int f = 0; f < gif->ImageCount; ++f) {
      const SavedImage& image = gif->SavedImages[f];
      ASSERT_EQ(image.ImageDesc.Width, c.width);
      ASSERT_EQ(image.ImageDesc.Height, c.height);
      const ColorMapObject* map =
          image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
      for (int i = 0; i < c.width * c.height; ++i) {
        const GifColorType colour = map->Colors[image.RasterBits[i]];
        const uint32_t bgra = 0xFF000000u | colour.Red << 16 | colour.Green << 8 | colour.Blue;
        ASSERT_EQ(bgra, frames[f][i]) << "frame " << f << " pixel " << i;
      }
    }
    DGifCloseFile(gif, &error);

    const std::string folder = dir_.File(std::string("frames") + (c.name + 1)) + "/";
    run = RunOrvex({"avi", module_, c.name, "-o", folder, "--show"});
    ASSERT_EQ(run.status, 0) << run.err;
    for (size_t f = 0; f < frames.size(); ++f) {
      char leaf[32];
      std::snprintf(leaf, sizeof leaf, "frame_%04zu.png", f + 1);
      const std::string png = ReadWholeFile(folder + leaf);
      const auto pixels = DecodePng(AsBytes(png.data(), png.size()));
      ASSERT_TRUE(pixels) << leaf;
      EXPECT_EQ(pixels->bgra, frames[f]) << leaf;
    }
  }
}

// Wine's own clip: both frames at 80 × 50, equal to what ffmpeg decodes from the same bytes.
TEST_F(MediaModule, AviOfShell32Clip160MatchesFfmpeg) {
  const std::string shell32 = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/shell32.dll";
  if (!std::filesystem::exists(shell32)) GTEST_SKIP() << "no Wine corpus";
  if (std::system("ffmpeg -version > /dev/null 2>&1") != 0) GTEST_SKIP() << "no ffmpeg";
  const std::string clip = dir_.File("clip160.avi");
  ASSERT_EQ(RunOrvex({"data", shell32, "AVI", "#160", "-o", clip}).status, 0);
  const std::string raw = dir_.File("clip160.bgra");
  ASSERT_EQ(
      std::system(
          ("ffmpeg -v error -y -i '" + clip + "' -f rawvideo -pix_fmt bgra '" + raw + "'").c_str()),
      0);
  const std::string expected = ReadWholeFile(raw);
  const size_t frameBytes = 80 * 50 * 4;
  ASSERT_EQ(expected.size(), 2 * frameBytes);
  const std::string folder = dir_.File("frames160") + "/";
  const OrvexRun run = RunOrvex({"avi", shell32, "#160", "-o", folder});
  ASSERT_EQ(run.status, 0) << run.err;
  for (size_t f = 0; f < 2; ++f) {
    char leaf[32];
    std::snprintf(leaf, sizeof leaf, "frame_%04zu.png", f + 1);
    const std::string png = ReadWholeFile(folder + leaf);
    const auto pixels = DecodePng(AsBytes(png.data(), png.size()));
    ASSERT_TRUE(pixels) << leaf;
    ASSERT_EQ(pixels->width, 80);
    ASSERT_EQ(pixels->height, 50);
    std::vector<uint32_t> want(80 * 50);
    std::memcpy(want.data(), expected.data() + f * frameBytes, frameBytes);
    EXPECT_EQ(pixels->bgra, want) << leaf;
  }
  EXPECT_FALSE(std::filesystem::exists(folder + "frame_0003.png"));
}

TEST_F(MediaModule, AviOfAMissingOrBrokenClipFailsWithOneMessage) {
  struct Case {
    const char* name;
    const char* message;
  };
  for (const Case& c : {Case{"#9", "no AVI clip named #9"},
                        Case{"#3", "cannot play the clip: RIFF form is 'WAVE', not 'AVI '"}}) {
    for (const char* road : {"", "--show"}) {
      SCOPED_TRACE(std::string(c.name) + road);
      const std::string out = dir_.File("x.gif");
      std::vector<std::string> arguments{"avi", module_, c.name, "-o", out};
      if (*road) arguments.push_back(road);
      const OrvexRun run = RunOrvex(arguments);
      EXPECT_EQ(run.status, 1);
      EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
      EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
      EXPECT_FALSE(std::filesystem::exists(out));
    }
  }
}

}  // namespace
}  // namespace orvex::test
