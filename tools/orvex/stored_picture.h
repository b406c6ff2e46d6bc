// A picture resource in its own colours: what GetPicture shows, made by the platform's image
// functions without LR_LOADMAP3DCOLORS, so the greys a bitmap or icon stores stay as stored
// instead of becoming the system's 3D colours. For `orvex picture --as-stored` and the web
// viewer's download.
#pragma once

#include <optional>
#include <string_view>

#include "host/picture_image.h"
#include "platform/win32_types.h"

namespace orvex::cli {

// TYPE as GetPicture takes it (1 cursor, 2 bitmap, 3 icon, 12 group cursor, 14 group icon)
// and NAME as it takes it (digits name a number); throws CliError when the module has no
// such picture or the platform cannot make one of it.
RgbaImage StoredPictureImage(HMODULE module, uint32_t type, std::string_view name);

}  // namespace orvex::cli
