// Feeds arbitrary bytes to the module layer twice: the resource tree straight over the
// input buffer (so the sanitizer sees every read against the input's exact size), then the
// platform functions on the same bytes loaded from a memory file: enumerate every type,
// name and language, find, load, lock and size every resource, and read its bytes.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/core/unique_fd.h"
#include "platform/module/module.h"
#include "platform/module/resource_tree.h"

namespace {

using namespace orvex;  // NOLINT: the platform's names read best bare here

volatile uint32_t sink = 0;

void Touch(const void* data, size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  uint32_t sum = 0;
  for (size_t i = 0; i < size; ++i) sum += bytes[i];
  sink = sink + sum;
}

void WalkTree(const uint8_t* data, size_t size) {
  auto image = orvex::PeImage::Parse(orvex::AsBytes(data, size));
  if (!image) return;
  orvex::ResourceTree tree = orvex::ResourceTree::Build(*image);
  auto root = tree.Root();
  if (!root) return;
  tree.ForEach(*root, [&](const orvex::ResourceEntry& type) {
    auto names = tree.Subdirectory(type);
    if (type.named) sink = sink + static_cast<uint32_t>(tree.Name(type).size());
    if (!names) return true;
    tree.ForEach(*names, [&](const orvex::ResourceEntry& name) {
      auto languages = tree.Subdirectory(name);
      if (!languages) return true;
      tree.ForEach(*languages, [&](const orvex::ResourceEntry& language) {
        orvex::ResourceData found = tree.Data(language.target);
        Touch(found.bytes.data(), found.bytes.size());
        return true;
      });
      if (auto preferred = tree.FindLanguage(*languages, std::nullopt)) sink = sink + preferred->id;
      return true;
    });
    return true;
  });
}

BOOL OnLanguage(HMODULE module, LPCSTR type, LPCSTR name, WORD language, LONG_PTR) {
  HRSRC exact = orvex::FindResourceExA(module, type, name, language);
  HRSRC found = orvex::FindResourceA(module, name, type);
  for (HRSRC resource : {exact, found}) {
    HGLOBAL loaded = orvex::LoadResource(module, resource);
    const void* bytes = orvex::LockResource(loaded);
    DWORD size = orvex::SizeofResource(module, resource);
    if (size != 0 && bytes == nullptr) __builtin_trap();  // a size without data
    if (bytes != nullptr) Touch(bytes, size);
    orvex::FreeResource(loaded);
  }
  return TRUE;
}

BOOL OnName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR param) {
  orvex::EnumResourceLanguagesA(module, type, name, OnLanguage, param);
  return TRUE;
}

BOOL OnType(HMODULE module, LPSTR type, LONG_PTR param) {
  orvex::EnumResourceNamesA(module, type, OnName, param);
  return TRUE;
}

void WalkModule(const uint8_t* data, size_t size) {
  const orvex::UniqueFd fd(memfd_create("module", MFD_CLOEXEC));
  if (!fd) return;
  if (write(fd.Get(), data, size) == static_cast<ssize_t>(size)) {
    std::string path = "/proc/self/fd/" + std::to_string(fd.Get());
    HMODULE module = orvex::LoadLibraryExA(path.c_str(), 0, 0);
    if (module != 0) {
      orvex::EnumResourceTypesA(module, OnType, 0);
      orvex::FindResourceA(module, "#1", "Name");
      orvex::FreeLibrary(module);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  WalkTree(data, size);
  WalkModule(data, size);
  return 0;
}
