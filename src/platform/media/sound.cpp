#include "platform/media/sound.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <numbers>
#include <string>
#include <vector>

#include "platform/fs/fs.h"
#include "platform/media/default_sound.h"
#include "platform/media/sound_device.h"

namespace orvex {
namespace {

// Serialises the stop-and-start of sounds between threads; never held while a synchronous
// sound plays, so another thread's stop can end it.
std::mutex playMutex;

// A RIFF image in the caller's memory: its length is the RIFF size after the first eight
// bytes, which the caller vouches for. Copied, since an asynchronous sound outlives the call.
Expected<std::vector<std::byte>> MemoryImage(LPCSTR bytes) {
  uint32_t header[2];
  std::memcpy(header, bytes, sizeof header);
  if (std::memcmp(bytes, "RIFF", 4) != 0) return Error{"the memory image is no RIFF file"};
  if (header[1] > kMaxSoundBytes - 8) return Error{"the memory image is too large"};
  const auto* first = reinterpret_cast<const std::byte*>(bytes);
  return std::vector<std::byte>(first, first + 8 + static_cast<size_t>(header[1]));
}

// The sound's bytes are read and its header checked before the call returns; the samples
// are decoded by the device when it first needs them, so an asynchronous call does not
// wait for the decoding.
Expected<std::shared_ptr<const Sound>> LoadSound(LPCSTR nameOrBytes, UINT flags) {
  auto bytes =
      (flags & SND_MEMORY) ? MemoryImage(nameOrBytes) : ReadWholeFile(nameOrBytes, kMaxSoundBytes);
  if (!bytes) return bytes.GetError();
  auto sound = Sound::FromWav(std::move(*bytes));
  if (!sound) return sound.GetError();
  return std::make_shared<const Sound>(std::move(*sound));
}

}  // namespace

std::shared_ptr<const Sound> DefaultSound() {
  // 0.15 s of 880 Hz at 22050 Hz, mono, with short fades against clicks.
  static const std::shared_ptr<const Sound> beep = [] {
    constexpr uint32_t kRate = 22050;
    constexpr size_t kFrames = kRate * 15 / 100;
    constexpr size_t kFade = kRate / 200;
    std::vector<int16_t> samples(kFrames);
    for (size_t i = 0; i < kFrames; ++i) {
      const double edge = std::min<double>(
          {1.0, static_cast<double>(i) / kFade, static_cast<double>(kFrames - 1 - i) / kFade});
      const double wave = std::sin(2.0 * std::numbers::pi * 880.0 * static_cast<double>(i) / kRate);
      samples[i] = static_cast<int16_t>(std::lround(8000.0 * edge * wave));
    }
    return std::make_shared<const Sound>(kRate, 1, std::move(samples));
  }();
  return beep;
}

BOOL sndPlaySoundA(LPCSTR nameOrBytes, UINT flags) {
  const std::shared_ptr<SoundDevice> device = CurrentSoundDevice();
  const bool async = (flags & SND_ASYNC) != 0;
  std::shared_ptr<const Sound> sound;
  bool playable = false;
  {
    std::lock_guard lock(playMutex);
    if (!nameOrBytes) {
      device->Stop();
      return TRUE;
    }
    if ((flags & SND_NOSTOP) && !device->IsIdle()) return FALSE;
    device->Stop();
    auto loaded = LoadSound(nameOrBytes, flags);
    playable = loaded.HasValue();
    if (playable) {
      sound = std::move(*loaded);
    } else if (!(flags & SND_NODEFAULT)) {
      sound = DefaultSound();
    }
    if (sound) device->Play(sound, playable && async && (flags & SND_LOOP));
  }
  // A synchronous call waits for the sound, the default sound included, outside the lock
  // so that another thread can stop it.
  if (sound && !async) device->WaitUntilIdle();
  return async || playable ? TRUE : FALSE;
}

}  // namespace orvex
