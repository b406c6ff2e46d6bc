// Paths that a request names, resolved under the served folder and refused when they
// leave it.
#include "web/path_jail.h"

namespace orvex::cli {

namespace fs = std::filesystem;

ResolvedPath ResolveUnder(const fs::path& root, const std::string& rel) {
  const fs::path relative(rel);
  if (relative.is_absolute()) return {{}, 403};
  for (const fs::path& part : relative) {
    if (part == "..") return {{}, 403};
  }
  std::error_code error;
  const fs::path joined = root / relative;
  if (!fs::exists(fs::symlink_status(joined, error))) return {{}, 404};
  const fs::path resolved = fs::canonical(joined, error);
  if (error) return {{}, 404};
  // Every component of the resolved path must lie under the root: links that lead out are
  // refused.
  auto r = root.begin();
  auto p = resolved.begin();
  for (; r != root.end(); ++r, ++p) {
    if (p == resolved.end() || *p != *r) return {{}, 403};
  }
  return {resolved, 200};
}

}  // namespace orvex::cli
