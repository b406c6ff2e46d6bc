// The folder a command writes several files into. Every file name is claimed before the
// file is written, so one run never writes a name twice (two resources whose names give
// the same file name): the second is refused with a message, and the count the command
// reports is the count of files it left on disk.
#pragma once

#include <filesystem>
#include <optional>
#include <set>
#include <string>

namespace orvex::cli {

class OutputFolder {
 public:
  // Creates the folder and its parents; CliError when it cannot.
  explicit OutputFolder(const std::string& dir);

  // The path to write `leaf` to, or nothing (with one line on stderr naming `what`) when
  // this run claimed that name before.
  std::optional<std::filesystem::path> Claim(const std::string& leaf, const std::string& what);
  // How many claimed names are files on disk now.
  size_t FilesOnDisk() const;
  // How many names were refused.
  size_t Refused() const { return refused_; }

 private:
  std::filesystem::path dir_;
  std::set<std::string> claimed_;
  size_t refused_ = 0;
};

}  // namespace orvex::cli
