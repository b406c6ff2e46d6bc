// Seams for test and benchmark programs: a clock that moves only when told.
#pragma once

#include "platform/media/clock.h"

namespace orvex {

// true: the clock stands still at its current reading until AdvanceTestClock moves it,
// and timers fire only inside AdvanceTestClock, on the caller's thread. false: back to the
// steady clock (pending timers keep their due times).
void SetAnimationClockForTesting(bool useTestClock);
// Moves the test clock forward by `step`, firing every timer that falls due on the way in
// due order, each with the clock reading its due time (timers started by a callback fire
// too when they fall inside the step).
void AdvanceTestClock(ClockTime step);

}  // namespace orvex
