#include "server/frame/resource_tmp_folder.h"

#include "platform/fs/fs.h"

namespace orvex {

void CreateResourceTmpFolder() {
  (void)CreateDirectoryA(kResourceTmpFolder, nullptr);
}

}  // namespace orvex
