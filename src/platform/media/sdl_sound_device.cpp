#include "platform/media/sdl_sound_device.h"

#include "platform/media/codec_libraries.h"

#include <algorithm>
#include <cstring>

namespace orvex {
namespace {

// Plays one sound at a time: each Play opens SDL's device at the sound's own rate and
// channels (SDL converts to what the hardware takes), and the callback feeds it.
class SdlSoundDevice : public SoundDevice {
 public:
  ~SdlSoundDevice() override { CloseDevice(); }

  void Play(std::shared_ptr<const Sound> sound, bool loop) override {
    CloseDevice();
    SDL_AudioSpec want{};
    want.freq = static_cast<int>(sound->SampleRate());
    want.format = AUDIO_S16SYS;
    want.channels = static_cast<Uint8>(sound->Channels());
    want.samples = 1024;
    want.callback = Feed;
    want.userdata = this;
    {
      std::lock_guard lock(mutex_);
      sound_ = std::move(sound);
      position_ = 0;
      loop_ = loop;
      playing_ = true;
    }
    SDL_AudioSpec have{};
    device_ = Sdl()->SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device_ == 0) {
      Stop();
      return;
    }
    Sdl()->SDL_PauseAudioDevice(device_, 0);
  }

  void Stop() override {
    CloseDevice();
    std::lock_guard lock(mutex_);
    playing_ = false;
    idle_.notify_all();
  }

  bool IsIdle() override {
    std::lock_guard lock(mutex_);
    return !playing_;
  }

  void WaitUntilIdle() override {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [&] { return !playing_ || loop_; });
  }

 private:
  void CloseDevice() {
    // Closing waits for a running callback, so none touches the state afterwards.
    if (device_ != 0) Sdl()->SDL_CloseAudioDevice(device_);
    device_ = 0;
  }

  static void Feed(void* user, Uint8* stream, int length) {
    auto* self = static_cast<SdlSoundDevice*>(user);
    std::shared_ptr<const Sound> sound;
    {
      std::lock_guard lock(self->mutex_);
      sound = self->sound_;
    }
    // The first call decodes the sound, outside the lock so that IsIdle does not wait.
    const std::vector<int16_t>& samples = sound->Samples();
    std::lock_guard lock(self->mutex_);
    auto* out = reinterpret_cast<int16_t*>(stream);
    size_t wanted = static_cast<size_t>(length) / sizeof(int16_t);
    while (wanted > 0 && self->playing_) {
      if (self->position_ >= samples.size()) {
        if (!self->loop_ || samples.empty()) {
          self->playing_ = false;
          self->idle_.notify_all();
          break;
        }
        self->position_ = 0;
      }
      const size_t n = std::min(wanted, samples.size() - self->position_);
      std::memcpy(out, samples.data() + self->position_, n * sizeof(int16_t));
      self->position_ += n;
      out += n;
      wanted -= n;
    }
    std::memset(out, 0, wanted * sizeof(int16_t));
  }

  SDL_AudioDeviceID device_ = 0;
  std::mutex mutex_;
  std::condition_variable idle_;
  std::shared_ptr<const Sound> sound_;
  size_t position_ = 0;
  bool loop_ = false;
  bool playing_ = false;
};

}  // namespace

std::shared_ptr<SoundDevice> OpenSdlSoundDevice() {
  if (!Sdl()) return nullptr;
  if (Sdl()->SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return nullptr;
  // A driver that lists no output device has none to open (and opening the default one
  // anyway makes some drivers print their failure on stderr); -1 means it cannot list.
  if (Sdl()->SDL_GetNumAudioDevices(0) == 0) {
    Sdl()->SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return nullptr;
  }
  SDL_AudioSpec want{};
  want.freq = 22050;
  want.format = AUDIO_S16SYS;
  want.channels = 1;
  want.samples = 1024;
  // A silent probe: the device is kept only when SDL can open one.
  want.callback = [](void*, Uint8* stream, int length) { std::memset(stream, 0, length); };
  const SDL_AudioDeviceID probe = Sdl()->SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
  if (probe == 0) {
    Sdl()->SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return nullptr;
  }
  Sdl()->SDL_CloseAudioDevice(probe);
  return std::make_shared<SdlSoundDevice>();
}

}  // namespace orvex
