// Sound output through SDL2's audio subsystem.
#pragma once

#include <memory>

#include "platform/media/sound_device.h"

namespace orvex {

// A device that plays through SDL2; nullptr when SDL cannot open an audio device here.
std::shared_ptr<SoundDevice> OpenSdlSoundDevice();

}  // namespace orvex
