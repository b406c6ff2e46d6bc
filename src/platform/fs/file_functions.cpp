// The platform's file functions on mapped paths: reading a whole file, CreateDirectoryA,
// GetFileAttributesA, DeleteFileA, and deleting the files that match a pattern.
#include "platform/fs/fs.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "base/huge_pages.h"
#include "platform/fs/fs_internal.h"
#include "platform/text/text.h"

namespace orvex {

using namespace fs_detail;

namespace {

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

}  // namespace orvex
