// Feeds arbitrary bytes to the reader of compiled resource files twice: the parser straight
// over the input buffer (so the sanitizer sees every read against the input's exact size),
// then the module functions on the same bytes loaded from a memory file: enumerate every
// type, name and language, find, load, lock and size every resource, and read its bytes.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/core/unique_fd.h"
#include "platform/module/module.h"
#include "platform/module/res_file.h"

namespace {

using namespace orvex;  // NOLINT: the platform's names read best bare here

volatile uint32_t sink = 0;

void Touch(const void* data, size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  uint32_t sum = 0;
  for (size_t i = 0; i < size; ++i) sum += bytes[i];
  sink = sink + sum;
}

void Parse(const uint8_t* data, size_t size) {
  auto records = orvex::ParseResFile(orvex::AsBytes(data, size));
  if (!records) return;
  for (const orvex::ResFileRecord& record : *records) {
    if (record.inFile && record.data.size() != record.size) __builtin_trap();
    Touch(record.data.data(), record.data.size());
    sink = sink + static_cast<uint32_t>(record.type.name.size() + record.name.name.size());
  }
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
  const orvex::UniqueFd fd(memfd_create("res", MFD_CLOEXEC));
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
  Parse(data, size);
  WalkModule(data, size);
  return 0;
}
