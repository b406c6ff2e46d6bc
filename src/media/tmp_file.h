// The temporary file a playback member writes and then hands to the platform to play: the
// resource's bytes replace the whole file. Its users in this process take turns through
// LockTmpFile (server/frame/resource_tmp_folder.h).
#pragma once

#include <string>

#include "base/byte_reader.h"
#include "platform/fs/fs.h"

namespace orvex {

// The steps "open", "write" and "close" of a playback member. The bytes replace the whole
// file (written beside it, renamed over it at close): no tail of an older, longer file is
// left, and a missing resource leaves an empty file rather than an earlier clip.
class TmpFileWrite {
 public:
  // Fails with the file's error (server/frame/file_error.h).
  void Open(const std::string& path);
  // Fails when the open failed.
  void Write(Bytes bytes);
  // The file takes its place at the path, complete for every reader (not flushed to the
  // disk); nothing to do after a failed open.
  void Close();

 private:
  ReplacingFile file_;
};

}  // namespace orvex
