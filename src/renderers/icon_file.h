// Icon and cursor files (.ico / .cur) put back together from a module's resources: the
// group directory (RT_GROUP_ICON / RT_GROUP_CURSOR) names its images by resource id; the
// file holds the same entries, in directory order, with the images' bytes after them.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gdi/icon_directory.h"

namespace orvex {

// The file bytes for `group` (read with ReadIconDirectory) with images[i] the resource bytes of
// entry i (a cursor's resource starts with its hotspot, which moves into the file's directory
// entry). Entries without bytes (the resource is missing, or a cursor image shorter than its
// hotspot) are left out.
std::vector<uint8_t> AssembleIconFile(const IconDirectory& group,
                                      const std::vector<std::vector<uint8_t>>& images);

}  // namespace orvex
