// What the drive mapping, the file functions and the writers share: errno as the
// platform's last error, and folders opened step by step. Not for other modules.
#pragma once

#include <string>
#include <string_view>

#include "base/expected.h"
#include "platform/core/unique_fd.h"
#include "platform/win32_types.h"

namespace orvex::fs_detail {

// The platform's error code for an errno value; `leaf` tells a missing file from a
// missing folder on the way.
DWORD ErrorFromErrno(int error, bool leaf);

// Records the platform error for `error` and returns it as an input error with context.
Error Fail(int error, const std::string& what, bool leaf = true);

// The folder that holds the path's last component, opened, and that component. Inside
// the drive folder every step refuses a symbolic link; a POSIX path's folders are taken as
// given. `leaf` is empty for the drive's root itself.
struct Parent {
  bool inDrive = false;
  UniqueFd folder;
  std::string leaf;
  std::string display;
};

Expected<Parent> OpenParent(std::string_view path);

// Opens the folder named by `path` itself (every step checked as in OpenParent).
Expected<UniqueFd> OpenFolder(std::string_view path, std::string& display);

}  // namespace orvex::fs_detail
