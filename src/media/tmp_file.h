// The temporary file a playback member writes and then hands to the platform to play: the
// resource's bytes replace the whole file, and the file's users in this process take turns.
#pragma once

#include <mutex>
#include <string>

#include "base/byte_reader.h"
#include "platform/fs/fs.h"

namespace orvex {

// Holds the lock of one temporary path while a member writes the file and the platform
// loads it, so two threads that name the same path (same module file name and resource
// name) never load each other's bytes. Paths share a small set of locks by hash.
std::unique_lock<std::mutex> LockTmpFile(const std::string& path);

// The steps "open", "write" and "close" of a playback member. The bytes replace the whole
// file (written beside it, renamed over it at close): no tail of an older, longer file is
// left, and a missing resource leaves an empty file rather than an earlier clip.
class TmpFileWrite {
 public:
  // Fails with the file's error (server/frame/file_error.h).
  void Open(const std::string& path);
  // Fails when the open failed.
  void Write(Bytes bytes);
  // The file takes its place at the path; nothing to do after a failed open.
  void Close();

 private:
  ReplacingFile file_;
};

}  // namespace orvex
