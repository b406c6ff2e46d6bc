// The index of a dump: index.json (every resource with its files) and index.html (a static
// page listing them with thumbnails, opening in a browser without a server).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "rc_script/rc_script.h"

namespace orvex::cli {

struct IndexEntry {
  std::string type;
  std::string name;
  uint16_t language = 0;
  size_t size = 0;
  std::vector<std::string> files;  // relative to the dump folder
  std::string error;               // why the resource could not be read, if it could not
};

// Writes both files into `root`; `tally` (when a script was written) goes into index.json
// as what the script made of each type.
void WriteIndex(const std::filesystem::path& root, const std::vector<IndexEntry>& entries,
                const rc::Tally* tally);

}  // namespace orvex::cli
