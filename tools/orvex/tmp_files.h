// The files a command's playback members make in the resource temporary folder
// (C:\Retmpfld\ through the drive mapping), deleted when the command ends: the members keep
// their files, as their callers may expect; the client, the host that caused them, removes
// the ones it made and leaves every other file of the folder alone.
//
// Two resources can share a temporary file ("CLIP" and "RLIP" both give ..._RLIP.wav). The
// members take turns on a path within a process; between processes the client holds a lock
// on the folder while a member writes and loads its file and while it deletes its files, so
// a second command waits rather than loading or deleting the other one's bytes.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/core/unique_fd.h"

namespace orvex::cli {

class MadeTmpFiles {
 public:
  // The folder must exist (a catalogue's start-up creates it).
  MadeTmpFiles();
  // Deletes the files noted, those that are still as the member left them.
  ~MadeTmpFiles();
  MadeTmpFiles(const MadeTmpFiles&) = delete;
  MadeTmpFiles& operator=(const MadeTmpFiles&) = delete;

  // Runs a member call with the folder locked, and notes the files it made or replaced.
  void Run(const std::function<void()>& call);

 private:
  struct FileState {
    std::string name;
    dev_t device = 0;
    ino_t inode = 0;
    int64_t modified = 0;  // nanoseconds
    int64_t size = 0;
    bool operator==(const FileState&) const = default;
  };
  std::vector<FileState> Files() const;
  void Lock() const;
  void Unlock() const;

  std::string folder_;
  UniqueFd folderFd_;
  std::vector<FileState> made_;
};

}  // namespace orvex::cli
