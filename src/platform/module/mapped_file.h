// A file mapped read-only into memory; the mapping goes when the object goes.
#pragma once

#include <string>

#include "base/byte_reader.h"
#include "platform/win32_types.h"

namespace orvex {

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

 private:
  void* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace orvex
