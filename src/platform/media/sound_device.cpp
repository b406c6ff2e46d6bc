#include "platform/media/sound_device.h"

#include "platform/media/codec_libraries.h"

#include <string>

#include "platform/media/sdl_sound_device.h"

namespace orvex {

void NullSoundDevice::Play(std::shared_ptr<const Sound> sound, bool loop) {
  std::lock_guard lock(mutex_);
  // The header's frame count gives the duration: the samples themselves are never decoded.
  const uint64_t frames = sound->FrameCount();
  const uint32_t rate = sound->SampleRate();
  const auto duration = std::chrono::microseconds(rate ? frames * 1'000'000 / rate : 0);
  playing_ = true;
  loop_ = loop;
  end_ = Clock::now() + duration;
  stopped_.notify_all();
}

void NullSoundDevice::Stop() {
  std::lock_guard lock(mutex_);
  playing_ = false;
  stopped_.notify_all();
}

bool NullSoundDevice::IsIdle() {
  std::lock_guard lock(mutex_);
  return !playing_ || (!loop_ && Clock::now() >= end_);
}

void NullSoundDevice::WaitUntilIdle() {
  std::unique_lock lock(mutex_);
  // Sleeps until the sound's end; a Stop or a new sound wakes it to look again.
  while (playing_ && !loop_ && Clock::now() < end_) stopped_.wait_until(lock, end_);
}

void RecordingSoundDevice::Play(std::shared_ptr<const Sound> sound, bool loop) {
  std::lock_guard lock(mutex_);
  if (playing_) entries_.back().stopped = true;
  entries_.push_back({std::move(sound), loop, false});
  playing_ = true;
}

void RecordingSoundDevice::Stop() {
  std::lock_guard lock(mutex_);
  if (playing_) entries_.back().stopped = true;
  playing_ = false;
}

bool RecordingSoundDevice::IsIdle() {
  std::lock_guard lock(mutex_);
  return !playing_;
}

void RecordingSoundDevice::WaitUntilIdle() {
  std::lock_guard lock(mutex_);
  if (playing_ && !entries_.back().loop) playing_ = false;
}

void RecordingSoundDevice::FinishCurrent() {
  std::lock_guard lock(mutex_);
  if (playing_ && !entries_.back().loop) playing_ = false;
}

std::vector<RecordingSoundDevice::Entry> RecordingSoundDevice::Entries() {
  std::lock_guard lock(mutex_);
  return entries_;
}

Expected<void> RecordingSoundDevice::WriteWav(std::string_view path) {
  const std::vector<Entry> entries = Entries();
  if (entries.empty()) return Error{"no sound reached the device"};
  const Sound& first = *entries.front().sound;
  for (const Entry& entry : entries) {
    if (entry.sound->SampleRate() != first.SampleRate() ||
        entry.sound->Channels() != first.Channels())
      return Error{"the sounds differ in rate or channels"};
  }
  SF_INFO format{};
  format.samplerate = static_cast<int>(first.SampleRate());
  format.channels = first.Channels();
  format.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  const std::string name(path);
  if (!Sndfile()) return Error{"the sound library cannot be loaded"};
  SNDFILE* file = Sndfile()->sf_open(name.c_str(), SFM_WRITE, &format);
  if (!file) return Error{"cannot write " + name + ": " + Sndfile()->sf_strerror(nullptr)};
  bool written = true;
  for (const Entry& entry : entries) {
    const std::vector<int16_t>& samples = entry.sound->Samples();
    const auto count = static_cast<sf_count_t>(samples.size());
    written = written && Sndfile()->sf_write_short(file, samples.data(), count) == count;
  }
  if (Sndfile()->sf_close(file) != 0 || !written) return Error{"cannot write " + name};
  return {};
}

namespace {

std::mutex deviceMutex;
std::shared_ptr<SoundDevice> installedDevice;

}  // namespace

std::shared_ptr<SoundDevice> CurrentSoundDevice() {
  std::lock_guard lock(deviceMutex);
  if (!installedDevice) {
    std::shared_ptr<SoundDevice> sdl = OpenSdlSoundDevice();
    installedDevice = sdl ? sdl : std::make_shared<NullSoundDevice>();
  }
  return installedDevice;
}

std::shared_ptr<SoundDevice> InstallSoundDevice(std::shared_ptr<SoundDevice> device) {
  std::lock_guard lock(deviceMutex);
  std::swap(installedDevice, device);
  return device;
}

}  // namespace orvex
