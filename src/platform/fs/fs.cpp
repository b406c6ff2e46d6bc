#include "platform/fs/fs.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "base/huge_pages.h"
#include "platform/fs/fs_testing.h"
#include "platform/text/text.h"

namespace orvex {
namespace {

std::mutex rootMutex;
std::string testingRoot;
std::string defaultRoot;  // the last per-user folder made and checked

DWORD ErrorFromErrno(int error, bool leaf) {
  switch (error) {
    case ENOENT:
      return leaf ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
    case ENOTDIR:
      return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
      return ERROR_ACCESS_DENIED;
    case ELOOP:
      return ERROR_CANT_RESOLVE_FILENAME;
    case EEXIST:
      return ERROR_ALREADY_EXISTS;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    default:
      return ERROR_ACCESS_DENIED;
  }
}

// Records the platform error for `error` and returns it as an input error with context.
Error Fail(int error, const std::string& what, bool leaf = true) {
  const DWORD code = ErrorFromErrno(error, leaf);
  SetLastError(code);
  if (error == ELOOP) return Error{code, what + ": a symbolic link is in the way"};
  return Error{code, what + ": " + std::strerror(error)};
}

// mkdir -p with `mode` for every folder it makes.
bool MakeFolders(const std::string& path, mode_t mode) {
  std::string partial;
  size_t pos = 0;
  while (pos <= path.size()) {
    size_t slash = path.find('/', pos);
    if (slash == std::string::npos) slash = path.size();
    partial = path.substr(0, slash);
    if (!partial.empty() && ::mkdir(partial.c_str(), mode) != 0 && errno != EEXIST) return false;
    pos = slash + 1;
  }
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The per-user drive folder's path, from the environment of this moment.
Expected<std::string> DefaultRootPath() {
  std::string base;
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg != nullptr && xdg[0] == '/') {
    base = xdg;
  } else {
    const char* home = std::getenv("HOME");
    std::string homeDir = home != nullptr && home[0] == '/' ? home : "";
    if (homeDir.empty()) {
      if (const passwd* entry = ::getpwuid(::geteuid())) homeDir = entry->pw_dir;
    }
    if (homeDir.empty()) return Error{"no home folder for the drive folder"};
    base = homeDir + "/.local/share";
  }
  return base + "/orvex10/drive_c";
}

Expected<void> MakeDefaultRoot(const std::string& root) {
  if (!MakeFolders(root, 0700)) return Fail(errno, "cannot create " + root);
  // The drive folder must be our own real folder, closed to others.
  struct stat st;
  if (::lstat(root.c_str(), &st) != 0) return Fail(errno, root);
  if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) {
    SetLastError(ERROR_ACCESS_DENIED);
    return Error{ERROR_ACCESS_DENIED, root + " is not a folder of this user"};
  }
  if ((st.st_mode & 077) != 0 && ::chmod(root.c_str(), 0700) != 0) return Fail(errno, root);
  return {};
}

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

struct MappedPath {
  bool inDrive = false;
  std::string root;                // the drive folder, when inDrive
  std::vector<std::string> parts;  // components below the drive folder
  std::string posix;               // the path as given, when not inDrive
};

Expected<MappedPath> Map(std::string_view path) {
  MappedPath out;
  std::string_view rest;
  bool hasDrive = path.size() >= 2 && path[1] == ':' &&
                  ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  if (hasDrive) {
    if (path[0] != 'C' && path[0] != 'c') {
      SetLastError(ERROR_PATH_NOT_FOUND);
      return Error{ERROR_PATH_NOT_FOUND,
                   "drive " + std::string(path.substr(0, 2)) + " does not exist"};
    }
    rest = path.substr(2);
  } else if (!path.empty() && path[0] == '\\') {
    if (path.size() >= 2 && IsSeparator(path[1])) {
      SetLastError(ERROR_PATH_NOT_FOUND);
      return Error{ERROR_PATH_NOT_FOUND, "network paths are not supported"};
    }
    rest = path;
  } else {
    out.posix = std::string(path);
    return out;
  }
  out.inDrive = true;
  auto root = DriveRoot();
  if (!root) return root.GetError();
  out.root = std::move(*root);
  size_t pos = 0;
  while (pos < rest.size()) {
    size_t end = pos;
    while (end < rest.size() && !IsSeparator(rest[end])) ++end;
    std::string_view part = rest.substr(pos, end - pos);
    if (part == "..") {
      if (!out.parts.empty()) out.parts.pop_back();
    } else if (!part.empty() && part != ".") {
      out.parts.emplace_back(part);
    }
    pos = end + 1;
  }
  return out;
}

// The folder that holds the path's last component, opened, and that component. Inside
// the drive folder every step refuses a symbolic link; a POSIX path's folders are taken as
// given. `leaf` is empty for the drive's root itself.
struct Parent {
  bool inDrive = false;
  UniqueFd folder;
  std::string leaf;
  std::string display;
};

Expected<Parent> OpenParent(std::string_view path) {
  auto mapped = Map(path);
  if (!mapped) return mapped.GetError();
  Parent out;
  if (!mapped->inDrive) {
    const std::string& p = mapped->posix;
    out.display = p;
    if (p.empty()) {
      SetLastError(ERROR_PATH_NOT_FOUND);
      return Error{ERROR_PATH_NOT_FOUND, "empty path"};
    }
    size_t slash = p.find_last_of('/');
    std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : p.substr(0, slash));
    out.leaf = slash == std::string::npos ? p : p.substr(slash + 1);
    out.folder.Reset(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!out.folder) return Fail(errno, folder, false);
    return out;
  }
  out.inDrive = true;
  out.display = mapped->root;
  for (const std::string& part : mapped->parts) out.display += "/" + part;
  out.folder.Reset(::open(mapped->root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!out.folder) return Fail(errno, mapped->root, false);
  for (size_t i = 0; i + 1 < mapped->parts.size(); ++i) {
    UniqueFd next(::openat(out.folder.Get(), mapped->parts[i].c_str(),
                           O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!next) {
      int error = errno == ENOTDIR ? ELOOP : errno;  // O_NOFOLLOW|O_DIRECTORY on a link
      struct stat st;
      if (error == ELOOP &&
          ::fstatat(out.folder.Get(), mapped->parts[i].c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
          !S_ISLNK(st.st_mode))
        error = ENOTDIR;
      return Fail(error, out.display, false);
    }
    out.folder = std::move(next);
  }
  if (!mapped->parts.empty()) out.leaf = mapped->parts.back();
  return out;
}

// Opens the folder named by `path` itself (every step checked as in OpenParent).
Expected<UniqueFd> OpenFolder(std::string_view path, std::string& display) {
  auto parent = OpenParent(path);
  if (!parent) return parent.GetError();
  display = parent->display;
  if (parent->leaf.empty()) return std::move(parent->folder);
  const int noFollow = parent->inDrive ? O_NOFOLLOW : 0;
  UniqueFd folder(::openat(parent->folder.Get(), parent->leaf.c_str(),
                           O_RDONLY | O_DIRECTORY | noFollow | O_CLOEXEC));
  if (!folder) return Fail(errno, display, false);
  return folder;
}

// File names are UTF-8 bytes: ASCII letters compare in the names' case rule, other bytes
// as they are.
char FoldAscii(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 0x80 ? static_cast<char>(UpperCase(byte)) : c;
}

bool Glob(std::string_view name, std::string_view pattern) {
  size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() &&
               (pattern[p] == '?' || FoldAscii(pattern[p]) == FoldAscii(name[n]))) {
      ++p;
      ++n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace

Expected<std::string> DriveRoot() {
  std::lock_guard<std::mutex> lock(rootMutex);
  std::string chosen = testingRoot;
  if (chosen.empty()) {
    const char* env = std::getenv("ORVEX_DRIVE_C");
    if (env != nullptr && env[0] == '/') chosen = env;
  }
  if (!chosen.empty()) {
    if (!MakeFolders(chosen, 0700)) return Fail(errno, "cannot create " + chosen);
    return chosen;
  }
  auto path = DefaultRootPath();
  if (!path) return path.GetError();
  if (*path != defaultRoot) {  // checked and created once per location
    ORVEX_TRY(MakeDefaultRoot(*path));
    defaultRoot = *path;
  }
  return defaultRoot;
}

void SetDriveRootForTesting(std::string path) {
  std::lock_guard<std::mutex> lock(rootMutex);
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  testingRoot = std::move(path);
}

Expected<std::string> MapPath(std::string_view path) {
  auto mapped = Map(path);
  if (!mapped) return mapped.GetError();
  if (!mapped->inDrive) return mapped->posix;
  std::string out = mapped->root;
  for (const std::string& part : mapped->parts) out += "/" + part;
  return out;
}

Expected<std::vector<std::byte>> ReadWholeFile(std::string_view path, size_t maxBytes) {
  auto mapped = MapPath(path);
  if (!mapped) return mapped.GetError();
  UniqueFd fd(::open(mapped->c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.IsValid()) return Error{"cannot open " + *mapped + ": " + std::strerror(errno)};
  struct stat info {};
  if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode))
    return Error{*mapped + " is not a regular file"};
  if (static_cast<uint64_t>(info.st_size) > maxBytes) return Error{*mapped + " is too large"};
  std::vector<std::byte> bytes;
  bytes.reserve(static_cast<size_t>(info.st_size));
  PreferHugePages(bytes.data(), bytes.capacity());
  bytes.resize(static_cast<size_t>(info.st_size));
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::read(fd.Get(), bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Error{"cannot read " + *mapped + ": " + std::strerror(errno)};
    if (n == 0) break;  // the file shrank while being read
    done += static_cast<size_t>(n);
  }
  bytes.resize(done);
  return bytes;
}

BOOL CreateDirectoryA(LPCSTR path, const void* /*security*/) {
  if (path == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  auto parent = OpenParent(path);
  if (!parent) return FALSE;
  if (parent->leaf.empty()) {  // the drive's root exists already
    SetLastError(ERROR_ALREADY_EXISTS);
    return FALSE;
  }
  if (::mkdirat(parent->folder.Get(), parent->leaf.c_str(), parent->inDrive ? 0700 : 0777) != 0) {
    SetLastError(ErrorFromErrno(errno, false));
    return FALSE;
  }
  return TRUE;
}

DWORD GetFileAttributesA(LPCSTR path) {
  if (path == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_FILE_ATTRIBUTES;
  }
  auto parent = OpenParent(path);
  if (!parent) return INVALID_FILE_ATTRIBUTES;
  struct stat st;
  int rc = parent->leaf.empty() ? ::fstat(parent->folder.Get(), &st)
                                : ::fstatat(parent->folder.Get(), parent->leaf.c_str(), &st, 0);
  if (rc != 0) {
    SetLastError(ErrorFromErrno(errno, true));
    return INVALID_FILE_ATTRIBUTES;
  }
  if (S_ISDIR(st.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
  DWORD attributes = FILE_ATTRIBUTE_ARCHIVE;
  const char* leaf = parent->leaf.c_str();
  if (::faccessat(parent->folder.Get(), leaf, W_OK, AT_EACCESS) != 0 && errno == EACCES)
    attributes |= FILE_ATTRIBUTE_READONLY;
  return attributes;
}

BOOL DeleteFileA(LPCSTR path) {
  if (path == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  auto parent = OpenParent(path);
  if (!parent) return FALSE;
  struct stat st;
  if (parent->leaf.empty() ||
      (::fstatat(parent->folder.Get(), parent->leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
       S_ISDIR(st.st_mode))) {
    SetLastError(ERROR_ACCESS_DENIED);  // folders are not files
    return FALSE;
  }
  if (::unlinkat(parent->folder.Get(), parent->leaf.c_str(), 0) != 0) {
    SetLastError(ErrorFromErrno(errno, true));
    return FALSE;
  }
  return TRUE;
}

bool MatchesFilePattern(std::string_view name, std::string_view pattern) {
  if (Glob(name, pattern)) return true;
  // "x.*" also stands for "x" with no extension at all.
  if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
      name.find('.') == std::string_view::npos)
    return Glob(name, pattern.substr(0, pattern.size() - 2));
  return false;
}

Expected<size_t> DeleteFilesMatching(std::string_view pattern) {
  size_t split = pattern.find_last_of("\\/");
  std::string folderPath;
  std::string leaf;
  if (split == std::string_view::npos) {
    // "C:*.tmp" lists the drive's root, "*.tmp" the working folder.
    bool drive = pattern.size() >= 2 && pattern[1] == ':';
    folderPath = drive ? std::string(pattern.substr(0, 2)) : ".";
    leaf = std::string(drive ? pattern.substr(2) : pattern);
  } else {
    folderPath = std::string(pattern.substr(0, split));
    if (folderPath.empty()) folderPath = std::string(pattern.substr(0, 1));  // "\*" or "/*"
    leaf = std::string(pattern.substr(split + 1));
  }
  if (leaf.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return Error{ERROR_FILE_NOT_FOUND, "no file name in the pattern"};
  }
  std::string display;
  auto folder = OpenFolder(folderPath, display);
  if (!folder) return folder.GetError();
  // The listing reads through a copy of the descriptor, which the listing then owns.
  UniqueFd listFd(::dup(folder->Get()));
  if (!listFd) return Fail(errno, display, false);
  std::unique_ptr<DIR, int (*)(DIR*)> listing(::fdopendir(listFd.Get()), &::closedir);
  if (listing == nullptr) return Fail(errno, display, false);
  (void)listFd.Release();
  std::vector<std::string> names;
  while (dirent* entry = ::readdir(listing.get())) {
    std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (MatchesFilePattern(name, leaf)) names.emplace_back(name);
  }
  listing.reset();

  size_t deleted = 0;
  int firstError = 0;
  std::string firstName;
  for (const std::string& name : names) {
    struct stat st;
    if (::fstatat(folder->Get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (S_ISDIR(st.st_mode)) continue;
    if (::unlinkat(folder->Get(), name.c_str(), 0) == 0) {
      ++deleted;
    } else if (firstError == 0) {
      firstError = errno;
      firstName = name;
    }
  }
  if (firstError != 0) return Fail(firstError, display + "/" + firstName);
  return deleted;
}

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
