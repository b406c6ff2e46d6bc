#include "tmp_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/fs/fs.h"

namespace orvex::cli {

MadeTmpFiles::MadeTmpFiles() {
  if (auto folder = MapPath("C:\\Retmpfld")) {
    folder_ = *folder;
    folderFd_.Reset(::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  }
}

MadeTmpFiles::~MadeTmpFiles() {
  if (made_.empty() || !folderFd_) return;
  Lock();
  const std::vector<FileState> now = Files();
  for (const FileState& file : made_) {
    // Only a file still as the member left it: another command may have replaced it since.
    if (std::find(now.begin(), now.end(), file) != now.end())
      (void)::unlinkat(folderFd_.Get(), file.name.c_str(), 0);
  }
  Unlock();
}

void MadeTmpFiles::Run(const std::function<void()>& call) {
  if (!folderFd_) {
    call();
    return;
  }
  Lock();
  struct Unlocker {
    const MadeTmpFiles* self;
    ~Unlocker() { self->Unlock(); }
  } unlocker{this};
  const std::vector<FileState> before = Files();
  try {
    call();
  } catch (...) {
    for (const FileState& file : Files())
      if (std::find(before.begin(), before.end(), file) == before.end()) made_.push_back(file);
    throw;
  }
  for (const FileState& file : Files())
    if (std::find(before.begin(), before.end(), file) == before.end()) made_.push_back(file);
}

std::vector<MadeTmpFiles::FileState> MadeTmpFiles::Files() const {
  std::vector<FileState> files;
  const int fd = ::openat(folderFd_.Get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return files;
  DIR* dir = ::fdopendir(fd);
  if (dir == nullptr) {
    ::close(fd);
    return files;
  }
  while (const dirent* entry = ::readdir(dir)) {
    struct stat status;
    if (::fstatat(folderFd_.Get(), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(status.st_mode))
      continue;
    files.push_back({entry->d_name, status.st_dev, status.st_ino,
                     int64_t{status.st_mtim.tv_sec} * 1000000000 + status.st_mtim.tv_nsec,
                     int64_t{status.st_size}});
  }
  ::closedir(dir);
  return files;
}

void MadeTmpFiles::Lock() const {
  while (::flock(folderFd_.Get(), LOCK_EX) != 0 && errno == EINTR) {
  }
}

void MadeTmpFiles::Unlock() const {
  (void)::flock(folderFd_.Get(), LOCK_UN);
}

}  // namespace orvex::cli
