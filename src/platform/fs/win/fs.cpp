// File access on the platform itself: paths are the platform's own (drive letters included),
// the file functions are kernel32's. Files are written through the C runtime's descriptors
// (so WritableFile keeps one owner type on both backends); a replacing file is made beside
// its target with CREATE_NEW semantics (never an existing file or link) and moved over the
// target, which replaces a link there instead of following it.
#include "platform/fs/fs.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <string>

#include "platform/core/win/windows_sdk.h"

namespace orvex {

namespace {

Error Fail(DWORD error, const std::string& what) {
  char text[512] = {};
  const DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, text, sizeof text, nullptr);
  std::string message(text, length);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.'))
    message.pop_back();
  if (message.empty()) message = "error " + std::to_string(error);
  return Error{error, what + ": " + message};
}

// The last error the C runtime's errno stands for.
DWORD LastErrorOfErrno(int error) {
  switch (error) {
    case ENOENT:
      return ERROR_PATH_NOT_FOUND;
    case EACCES:
      return ERROR_ACCESS_DENIED;
    case EEXIST:
      return ERROR_ALREADY_EXISTS;
    case ENOSPC:
      return ERROR_DISK_FULL;
    default:
      return ERROR_GEN_FAILURE;
  }
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

Expected<std::string> DriveRoot() {
  return std::string("C:\\");
}

Expected<std::string> MapPath(std::string_view path) {
  return std::string(path);
}

Expected<std::vector<std::byte>> ReadWholeFile(std::string_view path, size_t maxBytes) {
  const std::string name(path);
  ::HANDLE file = ::CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == win::kInvalidHandle) return Fail(::GetLastError(), "cannot open " + name);
  std::vector<std::byte> out;
  ::LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file, &size) || ::GetFileType(file) != FILE_TYPE_DISK) {
    ::CloseHandle(file);
    return Error{name + " is not a regular file"};
  }
  if (static_cast<uint64_t>(size.QuadPart) > maxBytes) {
    ::CloseHandle(file);
    return Error{name + " is too large"};
  }
  out.resize(static_cast<size_t>(size.QuadPart));
  size_t done = 0;
  while (done < out.size()) {
    ::DWORD got = 0;
    const auto want = static_cast<::DWORD>(std::min<size_t>(out.size() - done, 1u << 30));
    if (!::ReadFile(file, out.data() + done, want, &got, nullptr)) {
      const DWORD error = ::GetLastError();
      ::CloseHandle(file);
      return Fail(error, "cannot read " + name);
    }
    if (got == 0) break;  // the file shrank
    done += got;
  }
  out.resize(done);
  ::CloseHandle(file);
  return out;
}

BOOL CreateDirectoryA(LPCSTR path, const void* /*security*/) {
  return ::CreateDirectoryA(path, nullptr);
}

DWORD GetFileAttributesA(LPCSTR path) {
  return ::GetFileAttributesA(path);
}

BOOL DeleteFileA(LPCSTR path) {
  return ::DeleteFileA(path);
}

Expected<size_t> DeleteFilesMatching(std::string_view pattern) {
  const std::string text(pattern);
  const std::string folder = FolderOf(text);
  ::WIN32_FIND_DATAA found{};
  ::HANDLE search = ::FindFirstFileA(text.c_str(), &found);
  if (search == win::kInvalidHandle) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES) return size_t{0};
    return Fail(error, text);
  }
  size_t deleted = 0;
  DWORD firstError = 0;
  std::string firstName;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const std::string path = folder + found.cFileName;
    if (::DeleteFileA(path.c_str())) {
      ++deleted;
    } else if (firstError == 0) {
      firstError = ::GetLastError();
      firstName = path;
    }
  } while (::FindNextFileA(search, &found));
  ::FindClose(search);
  if (firstError != 0) return Fail(firstError, firstName);
  return deleted;
}

Expected<void> WritableFile::Write(Bytes data) {
  if (!fd_) return Error{"the file is not open"};
  size_t done = 0;
  while (done < data.size()) {
    const auto chunk = static_cast<unsigned>(std::min<size_t>(data.size() - done, 1u << 30));
    const int n = ::_write(fd_.Get(), data.data() + done, chunk);
    if (n < 0) return Fail(LastErrorOfErrno(errno), "write");
    done += static_cast<size_t>(n);
  }
  return {};
}

Expected<void> WritableFile::Sync() {
  if (!fd_) return Error{"the file is not open"};
  if (::_commit(fd_.Get()) != 0) return Fail(LastErrorOfErrno(errno), "flush");
  return {};
}

Expected<void> WritableFile::Close() {
  if (!fd_) return Error{"the file is not open"};
  if (fd_.Close() != 0) return Fail(LastErrorOfErrno(errno), "close");
  return {};
}

Expected<WritableFile> OpenFileForWriting(std::string_view path) {
  const std::string name(path);
  UniqueFd fd(::_open(name.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY | _O_NOINHERIT,
                      _S_IREAD | _S_IWRITE));
  if (!fd) return Fail(LastErrorOfErrno(errno), name);
  return WritableFile(std::move(fd));
}

Expected<ReplacingFile> ReplacingFile::Open(std::string_view path) {
  static std::atomic<unsigned> counter{0};
  const std::string target(path);
  const DWORD attributes = ::GetFileAttributesA(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
      !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
    return Fail(ERROR_DIRECTORY, target);
  const std::string folder = FolderOf(target);
  const std::string leaf = target.substr(folder.size());
  if (leaf.empty()) return Fail(ERROR_DIRECTORY, target);

  ReplacingFile out;
  UniqueFd fd;
  for (int attempt = 0; attempt < 100 && !fd; ++attempt) {
    out.temp_ = folder + "~" + leaf + "." + std::to_string(::GetCurrentProcessId()) + "." +
                std::to_string(counter.fetch_add(1)) + ".tmp";
    fd.Reset(::_open(out.temp_.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                     _S_IREAD | _S_IWRITE));
    if (!fd && errno != EEXIST) break;
  }
  if (!fd) return Fail(LastErrorOfErrno(errno), target);
  out.file_ = WritableFile(std::move(fd));
  out.leaf_ = target;
  out.display_ = target;
  return out;
}

void ReplacingFile::Discard() {
  if (file_.IsOpen()) {
    (void)file_.Close();
    ::DeleteFileA(temp_.c_str());
  }
}

Expected<void> ReplacingFile::Commit(Durability durability) {
  if (!file_.IsOpen()) return Error{"the file is not open"};
  const bool flushed = durability == Durability::kFlushed;
  auto finish = [&]() -> Expected<void> {
    if (flushed) ORVEX_TRY(file_.Sync());
    ORVEX_TRY(file_.Close());
    const ::DWORD flags = MOVEFILE_REPLACE_EXISTING | (flushed ? MOVEFILE_WRITE_THROUGH : 0);
    if (!::MoveFileExA(temp_.c_str(), leaf_.c_str(), flags))
      return Fail(::GetLastError(), display_);
    return {};
  };
  auto result = finish();
  if (!result) ::DeleteFileA(temp_.c_str());
  if (file_.IsOpen()) (void)file_.Close();
  return result;
}

}  // namespace orvex
