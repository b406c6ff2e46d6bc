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
  // Complete for the platform, which reads it next; not flushed to the disk: the file is
  // rewritten on every use and need not outlive a crash.
  if (file_.IsOpen() && !file_.Commit(ReplacingFile::Durability::kInPlace))
    throw FileError("close");
}

}  // namespace orvex
