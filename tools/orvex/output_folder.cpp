#include "output_folder.h"

#include <cstdio>
#include <system_error>

#include "cli_error.h"

namespace orvex::cli {

OutputFolder::OutputFolder(const std::string& dir) : dir_(dir) {
  std::error_code error;
  std::filesystem::create_directories(dir_, error);
  if (!std::filesystem::is_directory(dir_, error)) throw CliError("cannot create folder " + dir);
}

std::optional<std::filesystem::path> OutputFolder::Claim(const std::string& leaf,
                                                         const std::string& what) {
  if (!claimed_.insert(leaf).second) {
    ++refused_;
    std::fprintf(stderr, "orvex: not writing %s for %s: this run wrote that file already\n",
                 leaf.c_str(), what.c_str());
    return std::nullopt;
  }
  return dir_ / leaf;
}

size_t OutputFolder::FilesOnDisk() const {
  size_t count = 0;
  std::error_code error;
  for (const std::string& leaf : claimed_) {
    if (std::filesystem::is_regular_file(dir_ / leaf, error)) ++count;
  }
  return count;
}

}  // namespace orvex::cli
