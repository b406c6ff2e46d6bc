#include "media/tmp_file.h"

#include "base/runtime_error.h"
#include "server/frame/file_error.h"

namespace orvex {

void TmpFileWrite::Open(const std::string& path) {
  auto file = ReplacingFile::Open(path);
  if (!file) throw FileError(path);
  file_ = std::move(*file);
}

void TmpFileWrite::Write(Bytes bytes) {
  if (!file_.IsOpen()) throw RuntimeError(Err::BadFileNameOrNumber);
  if (!file_.Write(bytes)) throw FileError("write");
}

void TmpFileWrite::Close() {
  if (file_.IsOpen() && !file_.Commit()) throw FileError("close");
}

}  // namespace orvex
