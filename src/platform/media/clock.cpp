#include "platform/media/clock.h"

#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/media/stepped_clock.h"

namespace orvex {
namespace {

class Scheduler {
 public:
  ClockTime Now() {
    std::lock_guard lock(mutex_);
    return NowLocked();
  }

  TimerId Start(ClockTime due, std::function<void()> callback) {
    std::lock_guard lock(mutex_);
    const TimerId id = ++lastId_;
    const auto it = timers_.emplace(Key{due, id}, std::move(callback)).first;
    // The clock's thread sleeps until the earliest due time: only a new earliest timer
    // needs to wake it, and under the test clock it has nothing to do.
    if (!testClock_) {
      EnsureThreadLocked();
      if (it == timers_.begin()) wake_.notify_all();
    }
    return id;
  }

  void Cancel(TimerId id) {
    std::lock_guard lock(mutex_);
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
      if (it->first.second == id) {
        timers_.erase(it);
        return;
      }
    }
  }

  void UseTestClock(bool use) {
    std::lock_guard lock(mutex_);
    if (use == testClock_) return;
    if (use) {
      frozen_ = SteadyNow();
    } else {
      // The steady clock continues from where the test clock stood.
      offset_ = frozen_ - (SteadyNow() - offset_);
      EnsureThreadLocked();
    }
    testClock_ = use;
    wake_.notify_all();
  }

  void Advance(ClockTime step) {
    std::unique_lock lock(mutex_);
    if (!testClock_) return;
    const ClockTime target = frozen_ + step;
    while (!timers_.empty() && timers_.begin()->first.first <= target) {
      auto node = timers_.extract(timers_.begin());
      frozen_ = std::max(frozen_, node.key().first);
      lock.unlock();
      node.mapped()();
      lock.lock();
    }
    frozen_ = target;
  }

 private:
  using Key = std::pair<ClockTime, TimerId>;

  static ClockTime SteadyNow() {
    return std::chrono::duration_cast<ClockTime>(
        std::chrono::steady_clock::now().time_since_epoch());
  }
  ClockTime NowLocked() const { return testClock_ ? frozen_ : SteadyNow() - offset_; }

  void EnsureThreadLocked() {
    if (threadStarted_) return;
    threadStarted_ = true;
    // The scheduler lives as long as the process; the thread is never joined.
    std::thread([this] { Run(); }).detach();
  }

  void Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
      if (testClock_ || timers_.empty()) {
        wake_.wait(lock);
        continue;
      }
      const ClockTime due = timers_.begin()->first.first;
      const ClockTime now = NowLocked();
      if (due > now) {
        wake_.wait_for(lock, due - now);
        continue;
      }
      auto node = timers_.extract(timers_.begin());
      lock.unlock();
      node.mapped()();
      lock.lock();
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  std::map<Key, std::function<void()>> timers_;
  TimerId lastId_ = 0;
  bool testClock_ = false;
  bool threadStarted_ = false;
  ClockTime frozen_{0};  // the test clock's reading
  ClockTime offset_{0};  // subtracted from the steady clock
};

Scheduler& TheScheduler() {
  static auto* scheduler = new Scheduler;
  return *scheduler;
}

}  // namespace

ClockTime AnimationClockNow() {
  return TheScheduler().Now();
}

TimerId StartAnimationTimer(ClockTime due, std::function<void()> callback) {
  return TheScheduler().Start(due, std::move(callback));
}

void CancelAnimationTimer(TimerId timer) {
  TheScheduler().Cancel(timer);
}

void UseSteppedAnimationClock(bool stepped) {
  TheScheduler().UseTestClock(stepped);
}

void StepAnimationClock(ClockTime step) {
  TheScheduler().Advance(step);
}

}  // namespace orvex
