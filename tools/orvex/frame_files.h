// Frames of a clip written out: an animated GIF (giflib) or one PNG per frame.
#pragma once

#include <string>
#include <vector>

#include "platform/gdi/image.h"

namespace orvex::cli {

// An animated GIF that loops for ever, each frame shown for `delayMs` milliseconds (in the
// format's hundredths of a second, at least 1). Frames of 256 colours or fewer keep their
// colours exactly; others are reduced to 256 per frame. Throws CliError when the file
// cannot be written.
void WriteAnimatedGif(const std::string& path, const std::vector<Pixels>& frames, unsigned delayMs);

// Writes frame_0001.png, frame_0002.png, ... into `folder` (created when missing); throws
// CliError on failure.
void WriteFramePngs(const std::string& folder, const std::vector<Pixels>& frames);

}  // namespace orvex::cli
