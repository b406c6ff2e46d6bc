// Files written on POSIX descriptors: WritableFile and the staged ReplacingFile.
#include "platform/fs/fs.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>
#include <utility>

#include "platform/fs/fs_internal.h"

namespace orvex {

using namespace fs_detail;

Expected<void> WritableFile::Write(Bytes data) {
  if (!fd_) return Error{"the file is not open"};
  size_t done = 0;
  while (done < data.size()) {
    ssize_t n = ::write(fd_.Get(), data.data() + done, data.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return Fail(errno, "write");
    }
    done += static_cast<size_t>(n);
  }
  return {};
}

Expected<void> WritableFile::Sync() {
  if (!fd_) return Error{"the file is not open"};
  if (::fsync(fd_.Get()) != 0) return Fail(errno, "fsync");
  return {};
}

Expected<void> WritableFile::Close() {
  if (!fd_) return Error{"the file is not open"};
  if (fd_.Close() != 0) return Fail(errno, "close");
  return {};
}

Expected<WritableFile> OpenFileForWriting(std::string_view path) {
  auto parent = OpenParent(path);
  if (!parent) return parent.GetError();
  if (parent->leaf.empty()) return Fail(EISDIR, parent->display);
  UniqueFd fd(::openat(parent->folder.Get(), parent->leaf.c_str(),
                       O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666));
  if (!fd) return Fail(errno, parent->display);
  return WritableFile(std::move(fd));
}

Expected<ReplacingFile> ReplacingFile::Open(std::string_view path) {
  static std::atomic<unsigned> counter{0};
  auto parent = OpenParent(path);
  if (!parent) return parent.GetError();
  if (parent->leaf.empty()) return Fail(EISDIR, parent->display);
  const int folder = parent->folder.Get();
  struct stat existing;
  const bool exists = ::fstatat(folder, parent->leaf.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0;
  if (exists && S_ISDIR(existing.st_mode)) return Fail(EISDIR, parent->display);
  const bool keepMode = exists && S_ISREG(existing.st_mode);

  ReplacingFile out;
  UniqueFd fd;
  for (int attempt = 0; attempt < 100 && !fd; ++attempt) {
    out.temp_ = "." + parent->leaf + "." + std::to_string(::getpid()) + "." +
                std::to_string(counter.fetch_add(1)) + ".tmp";
    fd.Reset(::openat(folder, out.temp_.c_str(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (!fd && errno != EEXIST) break;
  }
  if (!fd) return Fail(errno, parent->display);
  out.file_ = WritableFile(std::move(fd));
  out.folder_ = std::move(parent->folder);
  out.leaf_ = std::move(parent->leaf);
  out.display_ = std::move(parent->display);
  if (keepMode && ::fchmod(out.file_.Descriptor(), existing.st_mode & 07777) != 0)
    return Fail(errno, out.display_);
  return out;
}

void ReplacingFile::Discard() {
  if (file_.IsOpen()) {
    (void)file_.Close();
    ::unlinkat(folder_.Get(), temp_.c_str(), 0);
  }
  folder_.Reset();
}

Expected<void> ReplacingFile::Commit(Durability durability) {
  if (!file_.IsOpen()) return Error{"the file is not open"};
  const bool flushed = durability == Durability::kFlushed;
  auto finish = [&]() -> Expected<void> {
    if (flushed) ORVEX_TRY(file_.Sync());
    ORVEX_TRY(file_.Close());
    if (::renameat(folder_.Get(), temp_.c_str(), folder_.Get(), leaf_.c_str()) != 0)
      return Fail(errno, display_);
    if (flushed) ::fsync(folder_.Get());  // the rename itself reaches the disk
    return {};
  };
  auto result = finish();
  if (!result) ::unlinkat(folder_.Get(), temp_.c_str(), 0);
  (void)file_.Close();
  folder_.Reset();
  return result;
}

}  // namespace orvex
