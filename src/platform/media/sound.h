// The platform's sndPlaySoundA: RIFF WAVE sounds from a file or from memory, played
// through the process's sound device, waiting for their end or not.
#pragma once

#include <cstddef>

#include "platform/win32_types.h"

namespace orvex {

inline constexpr UINT SND_SYNC = 0x0000;
inline constexpr UINT SND_ASYNC = 0x0001;
inline constexpr UINT SND_NODEFAULT = 0x0002;
inline constexpr UINT SND_MEMORY = 0x0004;
inline constexpr UINT SND_LOOP = 0x0008;
inline constexpr UINT SND_NOSTOP = 0x0010;

// The largest sound file or memory image played, so a size field cannot make a read grow
// without bound.
inline constexpr size_t kMaxSoundBytes = size_t{256} * 1024 * 1024;

// Plays `nameOrBytes`: a file name ("C:\..." through the drive mapping), or with SND_MEMORY
// a whole RIFF WAVE image in memory. A null name stops the current sound. The file is read
// whole and its header checked when called, so later changes to it do not reach the sound;
// the device decodes the samples when it needs them (a file whose header passes but whose
// samples the decoder refuses plays as silence). The current sound stops first; with
// SND_NOSTOP, a sound still playing makes the call fail instead. With SND_ASYNC the call
// returns once the file is read (TRUE, even when it is unplayable); else it returns when
// the sound has played. SND_LOOP repeats until stopped, with SND_ASYNC only (without it the
// sound plays once). A sound that cannot be played gives FALSE when synchronous, and plays
// the default sound unless SND_NODEFAULT is set.
BOOL sndPlaySoundA(LPCSTR nameOrBytes, UINT flags);

}  // namespace orvex
