#include "platform/module/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/core/unique_fd.h"

namespace orvex {

namespace {

FileIdentity IdentityOf(const struct stat& info) {
  auto nanoseconds = [](const timespec& t) {
    return int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec;
  };
  return FileIdentity{uint64_t(info.st_dev), uint64_t(info.st_ino), uint64_t(info.st_size),
                      nanoseconds(info.st_mtim), nanoseconds(info.st_ctim)};
}

}  // namespace

std::optional<FileIdentity> FileIdentity::Of(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return IdentityOf(info);
}

Expected<MappedFile> MappedFile::Open(const std::string& path) {
  const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) {
    const DWORD code =
        (errno == ENOENT || errno == ENOTDIR) ? ERROR_MOD_NOT_FOUND : ERROR_ACCESS_DENIED;
    return Error{code, "cannot open " + path};
  }
  struct stat info {};
  if (fstat(fd.Get(), &info) != 0 || S_ISDIR(info.st_mode)) {
    return Error{ERROR_ACCESS_DENIED, path + " is a folder"};
  }
  if (!S_ISREG(info.st_mode) || info.st_size <= 0 || uint64_t(info.st_size) > 0xFFFFFFFFu) {
    return Error{ERROR_BAD_EXE_FORMAT, path + " is not a regular file of a loadable size"};
  }
  size_t size = static_cast<size_t>(info.st_size);
  // The mapping keeps the file; the descriptor closes on return.
  void* data = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd.Get(), 0);
  if (data == MAP_FAILED) {
    return Error{ERROR_NOT_ENOUGH_MEMORY, "cannot map " + path};
  }
  MappedFile file;
  file.data_ = data;
  file.size_ = size;
  file.identity_ = IdentityOf(info);
  return file;
}

MappedFile::~MappedFile() {
  if (data_ != nullptr) munmap(data_, size_);
}

MappedFile::MappedFile(MappedFile&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      identity_(other.identity_) {}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
  if (this != &other) {
    if (data_ != nullptr) munmap(data_, size_);
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    identity_ = other.identity_;
  }
  return *this;
}

}  // namespace orvex
