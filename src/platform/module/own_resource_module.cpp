// The library's own resources on the stand-in: the image goes into an anonymous in-memory
// file, which is named through /proc for the one load and closed again (the mapping stays).
#include <sys/mman.h>
#include <unistd.h>

#include <string>

#include "platform/core/unique_fd.h"
#include "platform/module/module.h"

namespace orvex {

HMODULE LoadOwnResourceModule(const void* /*codeAddress*/, Bytes image) {
  const UniqueFd fd(::memfd_create("orvex10-resources", MFD_CLOEXEC));
  if (!fd) return 0;
  if (::write(fd.Get(), image.data(), image.size()) != static_cast<ssize_t>(image.size())) return 0;
  const std::string path = "/proc/self/fd/" + std::to_string(fd.Get());
  return LoadLibraryExA(path.c_str(), 0, LOAD_LIBRARY_AS_IMAGE_RESOURCE);
}

}  // namespace orvex
