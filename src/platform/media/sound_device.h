// Where the platform's sounds go: an output that plays interleaved 16-bit samples once or
// in a loop. SDL2 plays them when it can open an audio device; otherwise a null device
// takes them at their real rate and drops them; tests install a recording device.
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include "base/expected.h"
#include "platform/media/wav_file.h"

namespace orvex {

class SoundDevice {
 public:
  virtual ~SoundDevice() = default;
  // Replaces whatever plays with `sound`, played once or until Stop when `loop`. Returns at
  // once: a device that needs the samples decodes them on its own side (Sound::Samples).
  virtual void Play(std::shared_ptr<const Sound> sound, bool loop) = 0;
  virtual void Stop() = 0;
  virtual bool IsIdle() = 0;
  // Returns when nothing plays any more; at once for a loop (which never ends by itself).
  virtual void WaitUntilIdle() = 0;
};

// Takes samples at their real rate and drops them: a sound played once keeps the device
// busy for its duration, measured by the clock, without a thread of its own.
class NullSoundDevice : public SoundDevice {
 public:
  void Play(std::shared_ptr<const Sound> sound, bool loop) override;
  void Stop() override;
  bool IsIdle() override;
  void WaitUntilIdle() override;

 private:
  using Clock = std::chrono::steady_clock;
  std::mutex mutex_;
  std::condition_variable stopped_;
  bool playing_ = false;
  bool loop_ = false;
  Clock::time_point end_{};
};

// Keeps every sound that reached it, in order, and plays each instantly unless it loops:
// a sound played once is over when its player waits for it (or FinishCurrent is called),
// a loop until Stop.
class RecordingSoundDevice : public SoundDevice {
 public:
  struct Entry {
    std::shared_ptr<const Sound> sound;
    bool loop = false;
    bool stopped = false;  // ended by Stop or by the next sound, not by playing to its end
  };

  void Play(std::shared_ptr<const Sound> sound, bool loop) override;
  void Stop() override;
  bool IsIdle() override;
  void WaitUntilIdle() override;

  // Lets the sound that plays once reach its end, as time passing would.
  void FinishCurrent();
  std::vector<Entry> Entries();
  // The samples of every sound that reached the device, one after another, as a 16-bit
  // PCM WAVE file; fails when the sounds differ in rate or channels, or nothing came.
  Expected<void> WriteWav(std::string_view path);

 private:
  std::mutex mutex_;
  std::vector<Entry> entries_;
  bool playing_ = false;
};

// The device of the process: the one installed, else SDL2's when an audio device opens,
// else the null device. Chosen on first use.
std::shared_ptr<SoundDevice> CurrentSoundDevice();
// Installs `device` for the process (nullptr: choose again on next use); returns the one
// it replaces.
std::shared_ptr<SoundDevice> InstallSoundDevice(std::shared_ptr<SoundDevice> device);

}  // namespace orvex
