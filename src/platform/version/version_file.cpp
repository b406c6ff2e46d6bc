// The file side of the version functions: the file is mapped as data and its version
// resource found through the module functions.
#include <string>

#include "platform/module/module.h"
#include "platform/version/version.h"

namespace orvex {
namespace {

// The first name of type 16, as text ("#n" for a number), through the enumeration.
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
  LPCSTR type = MAKEINTRESOURCEA(RT_VERSION_ID);
  HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(1), type);
  if (resource == 0) {
    std::string first;
    EnumResourceNamesA(module, type, TakeFirstName, reinterpret_cast<LONG_PTR>(&first));
    if (!first.empty()) resource = FindResourceA(module, first.c_str(), type);
  }
  BOOL result = FALSE;
  if (resource == 0) {
    SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
  } else {
    HGLOBAL data = LoadResource(module, resource);
    const void* bytes = data == 0 ? nullptr : LockResource(data);
    if (bytes == nullptr) {
      SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    } else {
      result = use(AsBytes(bytes, SizeofResource(module, resource)));
    }
    if (data != 0) FreeResource(data);
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
