// `orvex avi FILE NAME -o OUT.gif|DIR/ [--show]` and `orvex play FILE NAME [--to OUT.wav]`:
// the catalogue's PlayAVI (or ShowAVI) into a host-kit form, its frames recorded as the
// platform shows them on a clock this command steps, and PlayWAV to the sound device.
#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "catalogue_client.h"
#include "cli_error.h"
#include "commands/commands.h"
#include "frame_files.h"
#include "host/host_kit.h"
#include "platform/media/animate_control.h"
#include "platform/media/avi_file.h"
#include "platform/media/clip_player.h"
#include "platform/media/mci.h"
#include "platform/media/sound.h"
#include "platform/media/sound_device.h"
#include "platform/media/stepped_clock.h"
#include "platform/media/wav_file.h"
#include "platform/module/module.h"
#include "platform/ole/late_bound.h"
#include "platform/text/text.h"
#include "platform/user/window.h"
#include "platform/user/window_capture.h"
#include "progress_bar.h"
#include "resource_data.h"
#include "resource_key.h"
#include "resource_kinds.h"
#include "tmp_files.h"

namespace orvex::cli {
namespace {

// The most frames, and pixels over all frames, written from one clip: a hostile clip of
// tiny RLE frames can claim more than any disk holds.
constexpr uint32_t kMaxFrames = 100000;
constexpr uint64_t kMaxPixelsWritten = uint64_t{1} << 32;

struct AviArguments {
  std::string file;
  std::string name;
  std::string out;
  bool show = false;
};

struct PlayArguments {
  std::string file;
  std::string name;
  std::string to;
  std::string type = "WAV";
};

// The resource's bytes where the module holds them (no copy: clips run to hundreds of MB);
// the same message as the other commands when there is none.
// TYPE by number (typeNumber) or by name (typeName).
Bytes ResourceView(CatalogueClient& client, std::optional<uint32_t> typeNumber,
                   const std::string& typeName, const std::string& name, const std::string& file,
                   const std::string& what) {
  const HMODULE module = client.HandleModule();
  auto view = FindResourceBytes(module, name.c_str(),
                                typeNumber ? MAKEINTRESOURCEA(*typeNumber) : typeName.c_str());
  if (!view && FindResourceData(module, typeNumber, AnsiToUnicode(typeName), AnsiToUnicode(name)) ==
                   ResourceData::kBeyondEnd)
    throw DataBeyondEndError();
  if (!view || view->empty()) throw CliError(NoResourceMessage(what, name, file));
  return *view;
}

bool NamesFolder(const std::string& out) {
  return (!out.empty() && (out.back() == '/' || out.back() == '\\')) ||
         std::filesystem::is_directory(out);
}

// The clip as it plays: one frame on show at a time, advanced by stepping the clock.
class ClipOnShow {
 public:
  virtual ~ClipOnShow() = default;
  virtual uint32_t FrameCount() = 0;
  // The frame on show when it is frame `index`; nothing when the clip stopped short of it.
  virtual std::optional<Pixels> Frame(uint32_t index) = 0;
};

// PlayAVI's animation control, found among the picture box's windows: the one that holds
// the clip (PlayAVI nests it in a second control that holds none).
class AnimationOnShow : public ClipOnShow {
 public:
  explicit AnimationOnShow(HWND box) {
    EnumChildWindows(
        box,
        [](HWND window, LPARAM self) -> BOOL {
          if (!AnimationFrameOnShow(window)) return TRUE;
          reinterpret_cast<AnimationOnShow*>(self)->control_ = window;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(this));
    if (!control_)
      throw CliError(
          "the animation control cannot play this clip (it plays silent clips, uncompressed or "
          "RLE8; try --show)");
  }
  uint32_t FrameCount() override { return AnimationFrameOnShow(control_)->frameCount; }
  std::optional<Pixels> Frame(uint32_t index) override {
    auto shown = AnimationFrameOnShow(control_);
    if (!shown || shown->index != index) return std::nullopt;
    return std::move(shown->pixels);
  }

 private:
  HWND control_ = 0;
};

// ShowAVI's avivideo device (alias "video"): its length, position and window through the
// device's own commands; frames as its window draws them.
class VideoOnShow : public ClipOnShow {
 public:
  VideoOnShow() {
    const auto handle = Status("window handle");
    if (!handle) throw CliError("the video device cannot play this clip");
    window_ = static_cast<HWND>(*handle);
  }
  uint32_t FrameCount() override { return Status("length").value_or(0); }
  std::optional<Pixels> Frame(uint32_t index) override {
    if (Status("position") != index) return std::nullopt;
    return CaptureWindowPixels(window_);
  }

 private:
  static std::optional<uint32_t> Status(const std::string& item) {
    char reply[64] = {};
    const std::string command = "status video " + item;
    if (mciSendStringA(command.c_str(), reply, sizeof reply, 0) != 0) return std::nullopt;
    char* end = nullptr;
    const unsigned long value = std::strtoul(reply, &end, 10);
    if (end == reply) return std::nullopt;
    return static_cast<uint32_t>(value);
  }
  HWND window_ = 0;
};

int Avi(const AviArguments& arguments) {
  // Every frame of a long clip is allocated, copied and freed: keep freed memory in the
  // process for the next frames rather than returning it to the kernel, which would make
  // each new frame fault its pages in again (costly, under virtualisation most of all).
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  if (!NamesFolder(arguments.out) && !HasExtension(arguments.out, ".gif")) {
    throw UsageError("cannot write " + arguments.out +
                     ": frames are written as an animated .gif or into a folder (DIR/)");
  }
  RegisterClasses();
  RegisterHostKitClasses();
  CatalogueClient client;
  client.Open(arguments.file);
  // The clip's size for the control, and a clear message for bytes that are no clip.
  const auto info = ReadAviInfo(
      ResourceView(client, std::nullopt, "AVI", arguments.name, arguments.file, "AVI clip"));
  if (!info) throw CliError("cannot play the clip: " + info.GetError().message);
  const ClockTime interval = FrameInterval(*info);
  const std::u16string name = AnsiToUnicode(arguments.name);

  // The clip plays on a clock that moves only when this command steps it.
  UseSteppedAnimationClock(true);
  ComPtr<IDispatch> form = CreateObject(u"Orvex10Host.Form");
  Variant box = Call(form.Get(), "AddPictureBox");
  const int32_t boxWindow = GetProperty(box.pdispVal, "hwnd").ToLong();
  std::unique_ptr<ClipOnShow> clip;
  MadeTmpFiles tmpFiles;
  if (arguments.show) {
    tmpFiles.Run([&] { client.Call("ShowAVI", {Variant(name), Variant::RefTo(box)}); });
    clip = std::make_unique<VideoOnShow>();
  } else {
    tmpFiles.Run([&] {
      client.Call("PlayAVI", {Variant(name), Variant(boxWindow), Variant(int32_t{0}),
                              Variant(int32_t{0}), Variant(info->width), Variant(info->height)});
    });
    clip = std::make_unique<AnimationOnShow>(static_cast<HWND>(boxWindow));
  }

  const uint32_t frameCount = clip->FrameCount();
  const uint64_t framePixels = std::max<uint64_t>(
      1, static_cast<uint64_t>(info->width) * static_cast<uint64_t>(info->height));
  const auto count = static_cast<uint32_t>(std::min<uint64_t>(
      {frameCount, kMaxFrames, std::max<uint64_t>(1, kMaxPixelsWritten / framePixels)}));
  if (count < frameCount)
    std::fprintf(stderr, "orvex: the clip claims %u frames; writing the first %u\n", frameCount,
                 count);
  std::unique_ptr<FrameWriter> writer =
      NamesFolder(arguments.out)
          ? FrameWriter::NumberedPngs(arguments.out)
          : FrameWriter::AnimatedGif(arguments.out, static_cast<unsigned>(interval.count() / 1000));
  ProgressBar progress("frames", "frames", count);
  uint32_t written = 0;
  for (; written < count; ++written) {
    std::optional<Pixels> frame = clip->Frame(written);
    if (!frame) break;  // the stream holds fewer frames than its headers claim
    writer->Add(std::move(*frame));
    progress.Advance(written + 1);
    StepAnimationClock(interval);
  }
  writer->Finish();
  progress.Erase();
  std::fprintf(stderr, "orvex: wrote %u frames to %s\n", written, arguments.out.c_str());
  return 0;
}

std::atomic<bool> interrupted{false};

void OnInterrupt(int) {
  interrupted = true;
}

int Play(const PlayArguments& arguments) {
  if (!arguments.to.empty() && !HasExtension(arguments.to, ".wav"))
    throw UsageError("cannot write " + arguments.to + ": the recording is written as .wav");
  // PlayWAV reads the type "WAV"; a sound under any other type is played from its bytes by
  // the platform's sound function, as PlayWAV plays its temporary file.
  const bool byMember = EqualsIgnoringCase(Utf8ToUtf16(arguments.type), u"WAV");
  const ResourceKey key = ParseResourceKey(arguments.type, arguments.name);
  RegisterClasses();
  CatalogueClient client;
  client.Open(arguments.file);
  const Bytes sound =
      ResourceView(client, key.typeNumber, UnicodeToAnsi(key.resType), arguments.name,
                   arguments.file, byMember ? "WAV sound" : arguments.type + " resource");
  if (!byMember) {
    if (auto info = ReadWavInfo(sound); !info)
      throw CliError("cannot play " + arguments.type + " " + arguments.name + ": " +
                     info.GetError().message);
  }
  std::shared_ptr<RecordingSoundDevice> recorder;
  if (!arguments.to.empty()) {
    recorder = std::make_shared<RecordingSoundDevice>();
    InstallSoundDevice(recorder);
  }
  if (byMember) {
    MadeTmpFiles tmpFiles;
    tmpFiles.Run([&] { client.Call("PlayWAV", {Variant(AnsiToUnicode(arguments.name))}); });
  } else if (!sndPlaySoundA(reinterpret_cast<LPCSTR>(sound.data()),
                            SND_MEMORY | SND_ASYNC | SND_NODEFAULT)) {
    throw CliError("cannot play " + arguments.type + " " + arguments.name);
  }
  const std::shared_ptr<SoundDevice> device = CurrentSoundDevice();
  if (recorder) {
    recorder->WaitUntilIdle();
    if (auto written = recorder->WriteWav(arguments.to); !written)
      throw CliError("cannot write " + arguments.to + ": " + written.GetError().message);
    return 0;
  }
  const auto previous = std::signal(SIGINT, OnInterrupt);
  while (!device->IsIdle() && !interrupted)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  if (interrupted) device->Stop();
  std::signal(SIGINT, previous);
  return interrupted ? 130 : 0;
}

}  // namespace

void RegisterMediaCommands(CLI::App& app, int& exitStatus) {
  auto avi = std::make_shared<AviArguments>();
  CLI::App* aviCommand = app.add_subcommand(
      "avi", "An AVI clip played by PlayAVI (or ShowAVI) in a host form, its frames written");
  aviCommand->add_option("FILE", avi->file, "The PE file (EXE, DLL, ...)")->required();
  aviCommand->add_option("NAME", avi->name, "The clip: #number or name")->required();
  aviCommand
      ->add_option("-o,--out", avi->out,
                   "An animated GIF (OUT.gif), or a folder (DIR/) for one PNG per frame")
      ->required();
  aviCommand->add_flag("--show", avi->show, "Play through ShowAVI (the MCI road)");
  aviCommand->callback([avi, &exitStatus] { exitStatus = Avi(*avi); });

  auto play = std::make_shared<PlayArguments>();
  CLI::App* playCommand = app.add_subcommand("play",
                                             "A sound played by PlayWAV (or any RIFF WAVE resource "
                                             "with --type); waits until it has played");
  playCommand->add_option("FILE", play->file, "The PE file (EXE, DLL, ...)")->required();
  playCommand->add_option("NAME", play->name, "The sound: #number or name")->required();
  playCommand->add_option("--to", play->to,
                          "Record what reaches the sound device and write it as OUT.wav");
  playCommand->add_option(
      "--type", play->type,
      "The sound's resource type: WAV (default) plays through PlayWAV; any other (WAVE, a "
      "number) plays the RIFF WAVE bytes through the platform's sound function");
  playCommand->callback([play, &exitStatus] { exitStatus = Play(*play); });
}

}  // namespace orvex::cli
