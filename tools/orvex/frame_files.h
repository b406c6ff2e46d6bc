// Frames of a clip written out as they come: an animated GIF (giflib) or one PNG per frame.
#pragma once

#include <memory>
#include <string>

#include "platform/gdi/image.h"

namespace orvex::cli {

class FrameWriter {
 public:
  // An animated GIF at `path` that loops for ever, each frame shown for `delayMs`
  // milliseconds (in the format's hundredths of a second, at least 1); frames of 256
  // colours or fewer keep their colours exactly, others are reduced to 256 per frame.
  static std::unique_ptr<FrameWriter> AnimatedGif(const std::string& path, unsigned delayMs);
  // frame_0001.png, frame_0002.png, ... in `folder` (created when missing), encoded on
  // worker threads while the next frames come.
  static std::unique_ptr<FrameWriter> NumberedPngs(const std::string& folder);

  virtual ~FrameWriter() = default;
  // Takes the next frame; throws CliError when an earlier frame could not be written.
  virtual void Add(Pixels frame) = 0;
  // Waits until every frame is written; throws CliError on the first failure or when no
  // frame came.
  virtual void Finish() = 0;
};

}  // namespace orvex::cli
