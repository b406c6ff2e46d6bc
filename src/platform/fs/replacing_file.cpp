// The members of ReplacingFile that do not touch the system, the same on both backends
// (each backend opens, commits and discards in its own fs.cpp).
#include <utility>

#include "platform/fs/fs.h"

namespace orvex {

ReplacingFile::~ReplacingFile() {
  Discard();
}

ReplacingFile::ReplacingFile(ReplacingFile&& other) noexcept
    : folder_(std::move(other.folder_)),
      leaf_(std::move(other.leaf_)),
      temp_(std::move(other.temp_)),
      display_(std::move(other.display_)),
      file_(std::move(other.file_)) {}

ReplacingFile& ReplacingFile::operator=(ReplacingFile&& other) noexcept {
  if (this != &other) {
    Discard();
    folder_ = std::move(other.folder_);
    leaf_ = std::move(other.leaf_);
    temp_ = std::move(other.temp_);
    display_ = std::move(other.display_);
    file_ = std::move(other.file_);
  }
  return *this;
}

Expected<void> ReplacingFile::Write(Bytes data) {
  if (!file_.IsOpen()) return Error{"the file is not open"};
  return file_.Write(data);
}

Expected<void> WriteFileAtomically(std::string_view path, Bytes data) {
  auto file = ReplacingFile::Open(path);
  if (!file) return file.GetError();
  ORVEX_TRY(file->Write(data));
  return file->Commit();
}

}  // namespace orvex
