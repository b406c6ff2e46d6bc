// The file side of the version functions: the file is mapped as data and its version
// resource found through the module functions.
#include <string>

#include "platform/module/module.h"
#include "platform/module/resource_types.h"
#include "platform/version/version.h"

namespace orvex {
namespace {

// The first name of the version type, as text ("#n" for a number), through the enumeration.
BOOL TakeFirstName(HMODULE, LPCSTR, LPSTR name, LONG_PTR param) {
  auto* out = reinterpret_cast<std::string*>(param);
  if (IS_INTRESOURCE(name))
    *out = "#" + std::to_string(reinterpret_cast<uintptr_t>(name));
  else
    *out = name;
  return FALSE;
}

// Calls `use` with the version resource's bytes; FALSE (last error set) when there is none.
template <class Use>
BOOL WithVersionResource(LPCSTR filename, Use use) {
  if (filename == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  HMODULE module = LoadLibraryExA(filename, 0, LOAD_LIBRARY_AS_DATAFILE);
  if (module == 0) {
    // The version functions name a missing file as such, not as a missing module.
    if (GetLastError() == ERROR_MOD_NOT_FOUND) SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
  }
  // Resource 1, else the first version resource there is.
  LPCSTR type = MAKEINTRESOURCEA(RT_VERSION);
  Expected<Bytes> bytes = FindResourceBytes(module, MAKEINTRESOURCEA(1), type);
  const auto dataOutside = [&] { return bytes.GetError().code == ERROR_RESOURCE_DATA_NOT_FOUND; };
  if (!bytes && !dataOutside()) {
    std::string first;
    EnumResourceNamesA(module, type, TakeFirstName, reinterpret_cast<LONG_PTR>(&first));
    if (!first.empty()) bytes = FindResourceBytes(module, first.c_str(), type);
  }
  BOOL result = FALSE;
  if (bytes) {
    result = use(*bytes);
  } else {
    SetLastError(dataOutside() ? ERROR_RESOURCE_DATA_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
  }
  FreeLibrary(module);
  return result;
}

}  // namespace

DWORD GetFileVersionInfoSizeA(LPCSTR filename, DWORD* handle) {
  if (handle != nullptr) *handle = 0;
  DWORD size = 0;
  WithVersionResource(filename, [&](Bytes resource) {
    size = VersionBufferSize(resource);
    if (size == 0) SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return size != 0 ? TRUE : FALSE;
  });
  return size;
}

BOOL GetFileVersionInfoA(LPCSTR filename, DWORD /*handle*/, DWORD size, LPVOID data) {
  return WithVersionResource(
      filename, [&](Bytes resource) { return CopyVersionResource(resource, size, data); });
}

}  // namespace orvex
