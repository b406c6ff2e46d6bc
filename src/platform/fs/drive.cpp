// Drive C mapped onto a per-user folder, and folders opened step by step without
// following symbolic links inside it.
#include "platform/fs/fs.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/fs/drive_testing.h"
#include "platform/fs/fs_internal.h"

namespace orvex {
namespace {

std::mutex rootMutex;
std::string testingRoot;
std::string defaultRoot;  // the last per-user folder made and checked

}  // namespace

namespace fs_detail {

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

Error Fail(int error, const std::string& what, bool leaf) {
  const DWORD code = ErrorFromErrno(error, leaf);
  SetLastError(code);
  if (error == ELOOP) return Error{code, what + ": a symbolic link is in the way"};
  return Error{code, what + ": " + std::strerror(error)};
}

}  // namespace fs_detail

using namespace fs_detail;

namespace {

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

}  // namespace

namespace fs_detail {

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

}  // namespace fs_detail

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

}  // namespace orvex
