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
#include "clip_frames.h"
#include "commands/commands.h"
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
  const Bytes clip =
      ResourceView(client, std::nullopt, "AVI", arguments.name, arguments.file, "AVI clip");
  const uint32_t written =
      WriteClipFrames(client, AnsiToUnicode(arguments.name), clip, arguments.show, arguments.out,
                      NamesFolder(arguments.out), true);
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
