#include "server/frame/resource_tmp_folder.h"

#include <array>
#include <functional>

#include "platform/fs/fs.h"

namespace orvex {

void CreateResourceTmpFolder() {
  (void)CreateDirectoryA(kResourceTmpFolder, nullptr);
}

std::unique_lock<std::mutex> LockTmpFile(const std::string& path) {
  static std::array<std::mutex, 31> locks;
  return std::unique_lock(locks[std::hash<std::string>{}(path) % locks.size()]);
}

}  // namespace orvex
