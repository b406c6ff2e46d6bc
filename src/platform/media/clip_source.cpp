#include "platform/media/clip_source.h"

#include "platform/fs/fs.h"
#include "platform/module/module.h"

namespace orvex {

Expected<std::vector<std::byte>> ReadClipFile(std::string_view path) {
  return ReadWholeFile(path, kMaxClipBytes);
}

Expected<std::vector<std::byte>> ReadClipResource(HMODULE module, LPCSTR name) {
  auto view = FindResourceBytes(module, name, "AVI");
  if (!view) return view.GetError();
  return std::vector<std::byte>(view->begin(), view->end());
}

}  // namespace orvex
