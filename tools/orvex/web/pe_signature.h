// Whether a file starts as a PE image does: the quick test by which the viewer marks
// modules in a folder listing, before any catalogue opens them.
#pragma once

#include <filesystem>

namespace orvex::cli {

bool LooksLikePe(const std::filesystem::path& path);

}  // namespace orvex::cli
