// Paths that a request names, resolved under the served folder and refused when they
// leave it (absolute, "..", or a symbolic link that leads out).
#pragma once

#include <filesystem>
#include <string>

namespace orvex::cli {

// REL resolved under `root` (canonical, symbolic links followed): the path, or the status
// that refuses it (403 for an absolute path, "..", or a link that leads out; 404 when it does
// not exist).
struct ResolvedPath {
  std::filesystem::path path;
  int status = 200;
};
ResolvedPath ResolveUnder(const std::filesystem::path& root, const std::string& rel);

}  // namespace orvex::cli
