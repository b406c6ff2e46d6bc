// The stand-in's default sound, played when a sound cannot be (as the platform plays its
// own default sound); seen by the stand-in's sound player and by tests.
#pragma once

#include <memory>

#include "platform/media/wav_file.h"

namespace orvex {

// The platform's default sound: a short beep.
std::shared_ptr<const Sound> DefaultSound();

}  // namespace orvex
