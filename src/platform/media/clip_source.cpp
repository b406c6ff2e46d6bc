#include "platform/media/clip_source.h"

#include <cstring>
#include <string>

#include "platform/fs/fs.h"
#include "platform/module/module.h"

namespace orvex {

Expected<std::vector<std::byte>> ReadClipFile(std::string_view path) {
  return ReadWholeFile(path, kMaxClipBytes);
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
