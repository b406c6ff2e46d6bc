// A clip played as hosts play it: PlayAVI (or ShowAVI) into the picture box of a host-kit
// form, on a clock that moves only when the player steps it, and every frame written as it
// is shown. The host kit's classes must be registered.
#pragma once

#include <cstdint>
#include <string>

#include "base/byte_reader.h"
#include "catalogue_client.h"

namespace orvex::cli {

// Plays the clip NAME (whose bytes are `clip`) and writes its frames as an animated GIF at
// `out`, or with `folder` as numbered PNGs into the folder `out`; the number written.
// `withProgress` shows a progress bar and says when a clip claims more frames than are
// written. CliError when the clip cannot be played or written.
uint32_t WriteClipFrames(CatalogueClient& client, const std::u16string& name, Bytes clip, bool show,
                         const std::string& out, bool folder, bool withProgress);

}  // namespace orvex::cli
