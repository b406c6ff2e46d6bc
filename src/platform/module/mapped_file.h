// A file mapped read-only into memory; the mapping goes when the object goes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/byte_reader.h"
#include "platform/win32_types.h"

namespace orvex {

// What tells one state of a file from another: the same file, unchanged since it was seen.
struct FileIdentity {
  uint64_t device = 0;
  uint64_t inode = 0;
  uint64_t size = 0;
  int64_t modified = 0;  // nanoseconds
  int64_t changed = 0;   // nanoseconds (status change: a rename onto it, a new owner)

  // The identity of the regular file at `path` now (links followed, as opening does).
  static std::optional<FileIdentity> Of(const std::string& path);
  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

class MappedFile {
 public:
  // Maps the regular file at `path`. A failure's code is the platform error to set:
  // ERROR_MOD_NOT_FOUND (missing), ERROR_ACCESS_DENIED (a folder or not readable),
  // ERROR_BAD_EXE_FORMAT (empty, not a regular file, 4 GB or more).
  static Expected<MappedFile> Open(const std::string& path);

  MappedFile() = default;
  ~MappedFile();
  MappedFile(MappedFile&& other) noexcept;
  MappedFile& operator=(MappedFile&& other) noexcept;
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  Bytes Data() const { return AsBytes(data_, size_); }
  // The file as it was when mapped.
  const FileIdentity& Identity() const { return identity_; }

 private:
  void* data_ = nullptr;
  size_t size_ = 0;
  FileIdentity identity_;
};

}  // namespace orvex
