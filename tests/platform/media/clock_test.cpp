// The platform clock's timers: the test clock fires them in due order inside its steps;
// the process clock fires them on its own thread.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "platform/media/stepped_clock.h"

namespace orvex {
namespace {

using namespace std::chrono_literals;

TEST(AnimationClock, TestClockFiresTimersInDueOrderWithinItsSteps) {
  UseSteppedAnimationClock(true);
  const ClockTime start = AnimationClockNow();
  std::vector<std::string> fired;
  const auto at = [&](ClockTime due, std::string name) {
    return StartAnimationTimer(start + due, [&fired, &start, name, due] {
      // Each timer sees the clock at its own due time.
      fired.push_back(name + (AnimationClockNow() - start == due ? "" : " late"));
    });
  };
  at(30ms, "c");
  at(10ms, "a");
  at(10ms, "a2");  // same due time: in the order started
  const TimerId cancelled = at(20ms, "cancelled");
  StartAnimationTimer(start + 15ms, [&] {
    fired.push_back("b");
    // A timer started from a callback fires in the same step when it falls inside it.
    StartAnimationTimer(start + 25ms, [&] { fired.push_back("chained"); });
  });
  CancelAnimationTimer(cancelled);
  StepAnimationClock(9ms);
  EXPECT_TRUE(fired.empty());
  StepAnimationClock(21ms);
  EXPECT_EQ(fired, (std::vector<std::string>{"a", "a2", "b", "chained", "c"}));
  EXPECT_EQ(AnimationClockNow() - start, 30ms);
  UseSteppedAnimationClock(false);
}

TEST(AnimationClock, ProcessClockFiresOnItsOwnThread) {
  UseSteppedAnimationClock(false);
  std::mutex mutex;
  std::condition_variable done;
  bool fired = false;
  const ClockTime due = AnimationClockNow() + 5ms;
  StartAnimationTimer(due, [&] {
    std::lock_guard lock(mutex);
    fired = AnimationClockNow() >= due;
    done.notify_all();
  });
  std::unique_lock lock(mutex);
  EXPECT_TRUE(done.wait_for(lock, 5s, [&] { return fired; }));
}

}  // namespace
}  // namespace orvex
