// A clip playing on the platform clock: the decoder, the frame on show and the range being
// played. The animation control and the MCI video device both draw from one. Safe to use
// from the window's thread while the clock's timers advance it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "base/expected.h"
#include "platform/gdi/image.h"
#include "platform/media/avi_decoder.h"
#include "platform/media/clock.h"

namespace orvex {

// The time each frame of the clip is shown: its main header's, or the platform's 15 frames
// a second when the headers state no rate.
ClockTime FrameInterval(const AviInfo& info);

struct PlayRange {
  uint32_t from = 0;    // the first frame of every pass
  uint32_t to = 0;      // the last frame of every pass (included)
  int32_t repeats = 1;  // passes; -1 until stopped (0 plays one pass, as 1)
};

class ClipPlayer {
 public:
  // Checks and opens the clip (a copy of its bytes) and decodes its first frame.
  static Expected<std::unique_ptr<ClipPlayer>> Open(std::vector<std::byte> file,
                                                    VideoCodecs accepted);
  ~ClipPlayer();
  ClipPlayer(const ClipPlayer&) = delete;
  ClipPlayer& operator=(const ClipPlayer&) = delete;

  int32_t Width() const;
  int32_t Height() const;
  uint32_t FrameCount() const;
  ClockTime FrameInterval() const;

  // Shows `range.from` at once and, unless the range is that one frame, advances one frame
  // per frame interval. False (nothing changes) when a frame is past the clip's end or
  // from > to.
  bool Play(PlayRange range);
  // Shows `frame` without playing; false past the end.
  bool Seek(uint32_t frame);
  void Stop();
  bool IsPlaying() const;
  // The index of the frame on show.
  uint32_t Position() const;
  // Calls `draw` with the frame on show (the lock held: keep it short).
  void WithFrame(const std::function<void(const Pixels&)>& draw) const;

 private:
  struct State;
  explicit ClipPlayer(std::shared_ptr<State> state);
  std::shared_ptr<State> state_;
};

}  // namespace orvex
