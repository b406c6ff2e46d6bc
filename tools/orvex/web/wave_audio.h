// Sounds as a browser plays them: a RIFF WAVE resource in any encoding the sound library
// decodes (IMA ADPCM, A-law, float, ...) written anew as a 16-bit PCM WAV file.
#pragma once

#include <string>

#include "base/byte_reader.h"
#include "base/expected.h"

namespace orvex::cli {

// The 16-bit PCM WAV file of `resource`'s sound, or why it cannot be made (no RIFF WAVE
// form, an encoding the sound library does not decode, a sound too long to serve).
Expected<std::string> PcmWavOf(Bytes resource);

}  // namespace orvex::cli
