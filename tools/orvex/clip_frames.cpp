// Clips played as hosts play them and their frames written (`orvex avi`, `orvex dump`).
#include "clip_frames.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "cli_error.h"
#include "frame_files.h"
#include "platform/media/animate_control.h"
#include "platform/media/avi_file.h"
#include "platform/media/clip_player.h"
#include "platform/media/mci.h"
#include "platform/media/stepped_clock.h"
#include "platform/ole/late_bound.h"
#include "platform/user/window.h"
#include "platform/user/window_capture.h"
#include "progress_bar.h"
#include "tmp_files.h"

namespace orvex::cli {
namespace {

// The most frames, and pixels over all frames, written from one clip: a hostile clip of
// tiny RLE frames can claim more than any disk holds.
constexpr uint32_t kMaxFrames = 100000;
constexpr uint64_t kMaxPixelsWritten = uint64_t{1} << 32;

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

}  // namespace

uint32_t WriteClipFrames(CatalogueClient& client, const std::u16string& name, Bytes clip, bool show,
                         const std::string& out, bool folder, bool withProgress) {
  // The clip's size for the control, and a clear message for bytes that are no clip.
  const auto info = ReadAviInfo(clip);
  if (!info) throw CliError("cannot play the clip: " + info.GetError().message);
  const ClockTime interval = FrameInterval(*info);

  // The clip plays on a clock that moves only when this command steps it.
  UseSteppedAnimationClock(true);
  ComPtr<IDispatch> form = CreateObject(u"Orvex10Host.Form");
  Variant box = Call(form.Get(), "AddPictureBox");
  const int32_t boxWindow = GetProperty(box.pdispVal, "hwnd").ToLong();
  std::unique_ptr<ClipOnShow> onShow;
  // The temporary clip file the member writes is deleted when the frames are written.
  MadeTmpFiles tmpFiles;
  if (show) {
    tmpFiles.Run([&] { client.Call("ShowAVI", {Variant(name), Variant::RefTo(box)}); });
    onShow = std::make_unique<VideoOnShow>();
  } else {
    tmpFiles.Run([&] {
      client.Call("PlayAVI", {Variant(name), Variant(boxWindow), Variant(int32_t{0}),
                              Variant(int32_t{0}), Variant(info->width), Variant(info->height)});
    });
    onShow = std::make_unique<AnimationOnShow>(static_cast<HWND>(boxWindow));
  }

  const uint32_t frameCount = onShow->FrameCount();
  const uint64_t framePixels = std::max<uint64_t>(
      1, static_cast<uint64_t>(info->width) * static_cast<uint64_t>(info->height));
  const auto count = static_cast<uint32_t>(std::min<uint64_t>(
      {frameCount, kMaxFrames, std::max<uint64_t>(1, kMaxPixelsWritten / framePixels)}));
  if (count < frameCount && withProgress)
    std::fprintf(stderr, "orvex: the clip claims %u frames; writing the first %u\n", frameCount,
                 count);
  std::unique_ptr<FrameWriter> writer =
      folder ? FrameWriter::NumberedPngs(out)
             : FrameWriter::AnimatedGif(out, static_cast<unsigned>(interval.count() / 1000));
  std::optional<ProgressBar> progress;
  if (withProgress) progress.emplace("frames", "frames", count);
  uint32_t written = 0;
  for (; written < count; ++written) {
    std::optional<Pixels> frame = onShow->Frame(written);
    if (!frame) break;  // the stream holds fewer frames than its headers claim
    writer->Add(std::move(*frame));
    if (progress) progress->Advance(written + 1);
    StepAnimationClock(interval);
  }
  writer->Finish();
  if (progress) progress->Erase();
  return written;
}

}  // namespace orvex::cli
