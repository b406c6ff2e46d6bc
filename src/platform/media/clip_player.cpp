#include "platform/media/clip_player.h"

#include <algorithm>
#include <mutex>
#include <utility>

namespace orvex {

struct ClipPlayer::State : std::enable_shared_from_this<State> {
  mutable std::mutex mutex;
  std::unique_ptr<AviDecoder> decoder;
  Pixels frame;
  uint32_t position = 0;
  uint32_t frameCount = 0;
  ClockTime interval{0};
  bool playing = false;
  PlayRange range;
  int32_t passesLeft = 0;  // after the current one; -1 without end
  ClockTime due{0};
  TimerId timer = 0;

  // Decodes up to `index`, rewinding first when it lies behind the decoder (delta frames
  // build on the ones before them). False when the clip ends before it or a frame fails.
  bool ShowLocked(uint32_t index) {
    if (index < decoder->NextFrameIndex()) {
      if (!decoder->Rewind()) return false;
    }
    while (decoder->NextFrameIndex() <= index) {
      auto next = decoder->NextFrame();
      if (!next || !*next) return false;
      frame = std::move(**next);
    }
    position = index;
    return true;
  }

  void StopLocked() {
    playing = false;
    if (timer) CancelAnimationTimer(timer);
    timer = 0;
  }

  void ArmLocked() {
    std::weak_ptr<State> weak = weak_from_this();
    timer = StartAnimationTimer(due, [weak] {
      if (auto self = weak.lock()) self->Tick();
    });
  }

  void Tick() {
    std::lock_guard lock(mutex);
    if (!playing) return;
    timer = 0;
    uint32_t next = position + 1;
    if (position >= range.to) {
      if (passesLeft == 0) {
        playing = false;
        return;
      }
      if (passesLeft > 0) --passesLeft;
      next = range.from;
    }
    if (!ShowLocked(next)) {
      playing = false;
      return;
    }
    due += interval;
    ArmLocked();
  }
};

ClockTime FrameInterval(const AviInfo& info) {
  constexpr ClockTime kPlatformDefault{66667};
  return info.microsecondsPerFrame ? ClockTime(info.microsecondsPerFrame) : kPlatformDefault;
}

ClipPlayer::ClipPlayer(std::shared_ptr<State> state) : state_(std::move(state)) {}

ClipPlayer::~ClipPlayer() {
  std::lock_guard lock(state_->mutex);
  state_->StopLocked();
}

Expected<std::unique_ptr<ClipPlayer>> ClipPlayer::Open(std::vector<std::byte> file,
                                                       VideoCodecs accepted) {
  auto decoder = AviDecoder::Open(std::move(file), accepted);
  if (!decoder) return decoder.GetError();
  auto state = std::make_shared<State>();
  state->decoder = std::move(*decoder);
  const AviInfo& info = state->decoder->Info();
  const AviStream& video = info.streams[info.videoStream];
  state->frameCount = video.length ? video.length : info.frameCount;
  state->interval = orvex::FrameInterval(info);
  if (!state->ShowLocked(0)) return Error{"the clip's first frame cannot be decoded"};
  // The stream may hold fewer frames than the headers claim; the decoder's end is the end.
  if (state->frameCount == 0) state->frameCount = 1;
  return std::unique_ptr<ClipPlayer>(new ClipPlayer(std::move(state)));
}

int32_t ClipPlayer::Width() const {
  return state_->decoder->Info().width;
}
int32_t ClipPlayer::Height() const {
  return state_->decoder->Info().height;
}
uint32_t ClipPlayer::FrameCount() const {
  return state_->frameCount;
}
ClockTime ClipPlayer::FrameInterval() const {
  return state_->interval;
}

bool ClipPlayer::Play(PlayRange range) {
  std::lock_guard lock(state_->mutex);
  State& s = *state_;
  if (range.from > range.to || range.to >= s.frameCount) return false;
  s.StopLocked();
  if (!s.ShowLocked(range.from)) return false;
  if (range.from == range.to) return true;
  s.range = range;
  s.passesLeft = range.repeats < 0 ? -1 : std::max(range.repeats, 1) - 1;
  s.playing = true;
  s.due = AnimationClockNow() + s.interval;
  s.ArmLocked();
  return true;
}

bool ClipPlayer::Seek(uint32_t frame) {
  std::lock_guard lock(state_->mutex);
  if (frame >= state_->frameCount) return false;
  state_->StopLocked();
  return state_->ShowLocked(frame);
}

void ClipPlayer::Stop() {
  std::lock_guard lock(state_->mutex);
  state_->StopLocked();
}

bool ClipPlayer::IsPlaying() const {
  std::lock_guard lock(state_->mutex);
  return state_->playing;
}

uint32_t ClipPlayer::Position() const {
  std::lock_guard lock(state_->mutex);
  return state_->position;
}

void ClipPlayer::WithFrame(const std::function<void(const Pixels&)>& draw) const {
  std::lock_guard lock(state_->mutex);
  draw(state_->frame);
}

}  // namespace orvex
