// Sounds as a browser plays them: a RIFF WAVE resource in any encoding the platform's sound
// functions play (IMA and MS ADPCM, A-law, mu-law, float, GSM 6.10, PCM) written anew as a
// 16-bit PCM WAV file.
#pragma once

#include <string>

#include "base/byte_reader.h"
#include "base/expected.h"

namespace orvex::cli {

// The 16-bit PCM WAV file of `resource`'s sound, or why it cannot be made (no RIFF WAVE
// form, an encoding the platform does not play, a sound too long to serve).
Expected<std::string> PcmWavOf(Bytes resource);

}  // namespace orvex::cli
