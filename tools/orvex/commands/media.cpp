// `orvex avi FILE NAME -o OUT.gif|DIR/ [--show]` and `orvex play FILE NAME [--to OUT.wav]`:
// the catalogue's PlayAVI (or ShowAVI) into a host-kit form, and PlayWAV to the sound
// device.
//
// The clip's frames are written by decoding the resource's bytes with the platform's AVI
// decoder: the animation control and the avivideo device take the clip but show no frames
// on a clock that this client can step yet.
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "catalogue_client.h"
#include "cli_error.h"
#include "commands/commands.h"
#include "frame_files.h"
#include "host/host_kit.h"
#include "platform/media/avi_decoder.h"
#include "platform/media/sound_device.h"
#include "platform/ole/late_bound.h"
#include "platform/text/text.h"

namespace orvex::cli {
namespace {

// The most frames written from one clip.
constexpr uint32_t kMaxFrames = 10000;

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
};

std::vector<uint8_t> ResourceBytes(CatalogueClient& client, const char* type,
                                   const std::string& name, const std::string& file,
                                   const char* what) {
  auto bytes = client.ReadResource(ParseResourceKey(type, name));
  if (!bytes || bytes->empty()) throw CliError(NoResourceMessage(what, name, file));
  return std::move(*bytes);
}

bool NamesFolder(const std::string& out) {
  return (!out.empty() && (out.back() == '/' || out.back() == '\\')) ||
         std::filesystem::is_directory(out);
}

// Every frame of the clip, and the time each is shown.
std::vector<Pixels> DecodeFrames(std::vector<uint8_t> bytes, bool anyCodec, unsigned* delayMs) {
  std::vector<std::byte> file(bytes.size());
  std::memcpy(file.data(), bytes.data(), bytes.size());
  // The animation control plays only uncompressed and RLE8 clips.
  const VideoCodecs codecs = anyCodec ? VideoCodecs{VideoCodec::Raw, VideoCodec::Rle8,
                                                    VideoCodec::MsVideo1, VideoCodec::Cinepak}
                                      : VideoCodecs{VideoCodec::Raw, VideoCodec::Rle8};
  auto decoder = AviDecoder::Open(std::move(file), codecs);
  if (!decoder) throw CliError("cannot play the clip: " + decoder.GetError().message);
  *delayMs = (*decoder)->Info().microsecondsPerFrame / 1000;
  std::vector<Pixels> frames;
  while (frames.size() < kMaxFrames) {
    auto frame = (*decoder)->NextFrame();
    if (!frame)
      throw CliError("cannot decode frame " + std::to_string(frames.size() + 1) + ": " +
                     frame.GetError().message);
    if (!*frame) break;
    frames.push_back(std::move(**frame));
  }
  return frames;
}

int Avi(const AviArguments& arguments) {
  RegisterClasses();
  RegisterHostKitClasses();
  CatalogueClient client;
  client.Open(arguments.file);
  std::vector<uint8_t> bytes =
      ResourceBytes(client, "AVI", arguments.name, arguments.file, "AVI clip");
  const std::u16string name = AnsiToUnicode(arguments.name);

  ComPtr<IDispatch> form = CreateObject(u"Orvex10Host.Form");
  Variant box = Call(form.Get(), "AddPictureBox");
  unsigned delayMs = 100;
  std::vector<Pixels> frames = DecodeFrames(std::move(bytes), arguments.show, &delayMs);
  if (arguments.show) {
    client.Call("ShowAVI", {Variant(name), Variant::RefTo(box)});
  } else {
    const int32_t hwnd = GetProperty(box.pdispVal, "hwnd").ToLong();
    const int32_t width = frames.empty() ? 0 : frames.front().width;
    const int32_t height = frames.empty() ? 0 : frames.front().height;
    client.Call("PlayAVI", {Variant(name), Variant(hwnd), Variant(int32_t{0}), Variant(int32_t{0}),
                            Variant(width), Variant(height)});
  }
  if (NamesFolder(arguments.out))
    WriteFramePngs(arguments.out, frames);
  else
    WriteAnimatedGif(arguments.out, frames, delayMs);
  std::fprintf(stderr, "orvex: wrote %zu frames to %s\n", frames.size(), arguments.out.c_str());
  return 0;
}

std::atomic<bool> interrupted{false};

void OnInterrupt(int) {
  interrupted = true;
}

int Play(const PlayArguments& arguments) {
  RegisterClasses();
  CatalogueClient client;
  client.Open(arguments.file);
  ResourceBytes(client, "WAV", arguments.name, arguments.file, "WAV sound");
  std::shared_ptr<RecordingSoundDevice> recorder;
  if (!arguments.to.empty()) {
    recorder = std::make_shared<RecordingSoundDevice>();
    InstallSoundDevice(recorder);
  }
  client.Call("PlayWAV", {Variant(AnsiToUnicode(arguments.name))});
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
  CLI::App* playCommand =
      app.add_subcommand("play", "A WAV sound played by PlayWAV; waits until it has played");
  playCommand->add_option("FILE", play->file, "The PE file (EXE, DLL, ...)")->required();
  playCommand->add_option("NAME", play->name, "The sound: #number or name")->required();
  playCommand->add_option("--to", play->to,
                          "Record what reaches the sound device and write it as OUT.wav");
  playCommand->callback([play, &exitStatus] { exitStatus = Play(*play); });
}

}  // namespace orvex::cli
