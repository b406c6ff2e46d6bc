// File access with the platform's drive letter: "C:\" maps to a per-user folder,
// $XDG_DATA_HOME/orvex10/drive_c (or ~/.local/share/orvex10/drive_c), created with mode
// 0700. Paths without a drive letter are POSIX paths and are used as given. Files are
// written without following symbolic links.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/byte_reader.h"
#include "base/expected.h"
#include "platform/core/unique_fd.h"
#include "platform/win32_types.h"

namespace orvex {

inline constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;
inline constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
inline constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
inline constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;
inline constexpr DWORD ERROR_ALREADY_EXISTS = 183;
inline constexpr DWORD ERROR_DIRECTORY = 267;
inline constexpr DWORD ERROR_CANT_RESOLVE_FILENAME = 1921;  // a symbolic link was refused

// The folder that stands for "C:\", created (mode 0700) on first use. The environment
// variable ORVEX_DRIVE_C, when set to an absolute path, replaces the per-user default for
// the whole process (test programs started as child processes use it).
Expected<std::string> DriveRoot();

// A Windows-style path with drive C ("C:\a\b", "c:/a", "C:a", or "\a" for the current
// drive's root) becomes the drive folder joined with its components ("." dropped, ".."
// never above the drive's root, backslashes and slashes both separators). Any other path
// is returned as given. Other drive letters and "\\server\share" paths fail.
Expected<std::string> MapPath(std::string_view path);

// The file at `path` (drive C mapped) read whole into memory: fails for a missing file, a
// folder or other non-regular file, one over `maxBytes`, or a read error. A file that
// shrinks while it is read gives what it still held.
Expected<std::vector<std::byte>> ReadWholeFile(std::string_view path, size_t maxBytes);

// The platform's functions on mapped paths; failures set the last error (ERROR_*).
BOOL CreateDirectoryA(LPCSTR path, const void* security);
DWORD GetFileAttributesA(LPCSTR path);
BOOL DeleteFileA(LPCSTR path);

// Deletes the files (not folders) of one folder whose names match the pattern's last
// component, as the platform's Kill does with "C:\Retmpfld\*.*". Matching: "*" any run of
// characters, "?" exactly one, letters without regard to case, and a pattern ending in
// ".*" also matches names without a dot (so "*.*" matches every name). There are no
// 8.3 short names, so "*.tmp" does not match "a.tmpx". Returns the number deleted; fails
// when the folder cannot be read or a matching file cannot be deleted (after trying all).
Expected<size_t> DeleteFilesMatching(std::string_view pattern);
// The pattern rule above, for one name.
bool MatchesFilePattern(std::string_view name, std::string_view pattern);

// A file open for writing; closes on destruction.
class WritableFile {
 public:
  WritableFile() = default;
  explicit WritableFile(UniqueFd fd) : fd_(std::move(fd)) {}

  bool IsOpen() const { return fd_.IsValid(); }
  int Descriptor() const { return fd_.Get(); }
  Expected<void> Write(Bytes data);
  Expected<void> Sync();
  Expected<void> Close();

 private:
  UniqueFd fd_;
};

// Creates or truncates the file for writing. The last component is never followed when it
// is a symbolic link; inside the drive folder no folder on the way may be one either.
Expected<WritableFile> OpenFileForWriting(std::string_view path);

// A file being replaced in stages: Open makes a new hidden file beside the target (the
// folder's checks as for OpenFileForWriting), Write appends to it, Commit flushes it and
// renames it over the target. Until Commit the target is untouched; an uncommitted file is
// removed when the object goes, so a failure half-way never leaves a half-written file at
// the target. A symbolic link at the target is replaced, not followed; a folder there
// fails at Open. An existing regular file's permission bits are kept.
class ReplacingFile {
 public:
  static Expected<ReplacingFile> Open(std::string_view path);

  ReplacingFile() = default;
  ~ReplacingFile();
  ReplacingFile(ReplacingFile&& other) noexcept;
  ReplacingFile& operator=(ReplacingFile&& other) noexcept;
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  bool IsOpen() const { return file_.IsOpen(); }
  Expected<void> Write(Bytes data);
  // How far Commit takes the bytes: to the disk (the file and the rename flushed), or only
  // into place, complete for every reader but not flushed, for files that need not outlive
  // a crash (temporary files rewritten on every use).
  enum class Durability { kFlushed, kInPlace };
  // Close and rename over the target, flushed first unless told otherwise. The object is
  // closed afterwards, either way.
  Expected<void> Commit(Durability durability = Durability::kFlushed);

 private:
  void Discard();

  UniqueFd folder_;  // the target's folder, held open so the rename lands beside it
  std::string leaf_;
  std::string temp_;
  std::string display_;
  WritableFile file_;
};

// Replaces the file at `path` with exactly `data` through a ReplacingFile: readers see the
// old or the new content, never a mix.
Expected<void> WriteFileAtomically(std::string_view path, Bytes data);

}  // namespace orvex
