#include "platform/media/clip_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/core/unique_fd.h"
#include "platform/fs/fs.h"
#include "platform/module/module.h"

namespace orvex {

Expected<std::vector<std::byte>> ReadClipFile(std::string_view path) {
  auto mapped = MapPath(path);
  if (!mapped) return mapped.GetError();
  UniqueFd fd(::open(mapped->c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.IsValid()) return Error{"cannot open " + *mapped + ": " + std::strerror(errno)};
  struct stat info {};
  if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode))
    return Error{*mapped + " is not a regular file"};
  if (static_cast<uint64_t>(info.st_size) > kMaxClipBytes)
    return Error{*mapped + " is too large for a clip"};
  std::vector<std::byte> bytes(static_cast<size_t>(info.st_size));
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

Expected<std::vector<std::byte>> ReadClipResource(HMODULE module, LPCSTR name) {
  const HRSRC resource = FindResourceA(module, name, "AVI");
  if (!resource) return Error{"no AVI resource of that name"};
  const HGLOBAL data = LoadResource(module, resource);
  const void* view = data ? LockResource(data) : nullptr;
  const DWORD size = SizeofResource(module, resource);
  if (!view) return Error{"the AVI resource's data lies outside its module"};
  const auto* begin = static_cast<const std::byte*>(view);
  return std::vector<std::byte>(begin, begin + size);
}

}  // namespace orvex
