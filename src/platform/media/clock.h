// The platform clock that animations run on, and one-shot timers on it. The process clock
// is the steady clock; its timers fire on one background thread that sleeps until the
// earliest due time (callbacks run there, one at a time, never under the clock's lock).
// Hosts and tests can replace it with a clock they step by hand (stepped_clock.h).
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace orvex {

using ClockTime = std::chrono::microseconds;  // since the clock's start
using TimerId = uint64_t;                     // 0 is no timer

ClockTime AnimationClockNow();
// Calls `callback` once when the clock reaches `due` (at once on the next pass when it is
// already past). Timers due at the same time fire in the order they were started.
TimerId StartAnimationTimer(ClockTime due, std::function<void()> callback);
// A timer that has not fired yet is dropped; one that is firing finishes.
void CancelAnimationTimer(TimerId timer);

}  // namespace orvex
