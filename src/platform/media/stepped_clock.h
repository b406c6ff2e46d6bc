// A clock that moves only when its host steps it: for hosts that record what plays frame by
// frame (the command line writes a clip's frames out) and for tests and benchmarks.
#pragma once

#include "platform/media/clock.h"

namespace orvex {

// true: the clock stands still at its current reading until StepAnimationClock moves it,
// and timers fire only inside StepAnimationClock, on the caller's thread. false: back to the
// steady clock (pending timers keep their due times).
void UseSteppedAnimationClock(bool stepped);
// Moves the stepped clock forward by `step`, firing every timer that falls due on the way in
// due order, each with the clock reading its due time (timers started by a callback fire
// too when they fall inside the step).
void StepAnimationClock(ClockTime step);

}  // namespace orvex
