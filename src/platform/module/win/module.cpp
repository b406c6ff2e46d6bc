// The module and resource functions passed through to the platform's loader. Handles cross
// as 32-bit values (core/win/pointer_handles.h); names handed to enumeration callbacks are
// copied into the low scratch, so callers can keep them as 32-bit identifier values.
#include "platform/module/module.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>

#include "platform/module/low_scratch.h"
#include "platform/module/res_module.h"

#include "platform/core/win/pointer_handles.h"
#include "platform/core/win/windows_sdk.h"

namespace orvex {

namespace {

::HMODULE Real(HMODULE module) {
  return static_cast<::HMODULE>(win::ModuleHandles().Resolve(module));
}
::HRSRC RealResource(HRSRC resource) {
  return static_cast<::HRSRC>(win::ResourceHandles().Resolve(resource));
}

// An identifier as the callback receives it: numbers (0 included) as they are, names
// copied low. False when there is no low memory for a name.
bool LowIdentifier(LPCSTR id, LowScratch& scratch, LPSTR* out) {
  if (IS_INTRESOURCE(id)) {
    *out = const_cast<LPSTR>(id);
    return true;
  }
  const size_t length = std::strlen(id) + 1;
  char* copy = scratch.Allocate(length);
  if (copy == nullptr) return false;
  std::memcpy(copy, id, length);
  *out = copy;
  return true;
}

struct TypeWalk {
  HMODULE module;
  ENUMRESTYPEPROCA proc;
  LONG_PTR param;
};
struct NameWalk {
  HMODULE module;
  ENUMRESNAMEPROCA proc;
  LONG_PTR param;
};
struct LanguageWalk {
  HMODULE module;
  ENUMRESLANGPROCA proc;
  LONG_PTR param;
};

::BOOL CALLBACK OnType(::HMODULE, LPSTR type, ::LONG_PTR param) {
  auto* walk = reinterpret_cast<TypeWalk*>(param);
  LowScratch& scratch = LowScratch::ForThread();
  LowScratchFrame frame(scratch);
  LPSTR low = nullptr;
  if (!LowIdentifier(type, scratch, &low)) return 0;
  return walk->proc(walk->module, low, walk->param);
}

::BOOL CALLBACK OnName(::HMODULE, LPCSTR type, LPSTR name, ::LONG_PTR param) {
  auto* walk = reinterpret_cast<NameWalk*>(param);
  LowScratch& scratch = LowScratch::ForThread();
  LowScratchFrame frame(scratch);
  LPSTR lowType = nullptr;
  LPSTR lowName = nullptr;
  if (!LowIdentifier(type, scratch, &lowType) || !LowIdentifier(name, scratch, &lowName)) return 0;
  return walk->proc(walk->module, lowType, lowName, walk->param);
}

::BOOL CALLBACK OnLanguage(::HMODULE, LPCSTR type, LPCSTR name, ::WORD language, ::LONG_PTR param) {
  auto* walk = reinterpret_cast<LanguageWalk*>(param);
  LowScratch& scratch = LowScratch::ForThread();
  LowScratchFrame frame(scratch);
  LPSTR lowType = nullptr;
  LPSTR lowName = nullptr;
  if (!LowIdentifier(type, scratch, &lowType) || !LowIdentifier(name, scratch, &lowName)) return 0;
  return walk->proc(walk->module, lowType, lowName, language, walk->param);
}

// Paths of the modules loaded here: the platform's GetModuleFileNameA knows only modules
// loaded for execution, not those mapped as data.
struct LoadedPaths {
  std::mutex mutex;
  std::unordered_map<HMODULE, std::string> byModule;
};

LoadedPaths& Paths() {
  static auto* paths = new LoadedPaths;
  return *paths;
}

}  // namespace

// Every load maps the file as data (an image resource), whatever the flags say: nothing of
// a module is executed, its imports are not resolved, and modules of any processor load.
HMODULE LoadLibraryExA(LPCSTR path, uint32_t file, DWORD /*flags*/) {
  if (file != 0 || path == nullptr) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  // Compiled resource files are no images the loader maps: served by the layer both
  // backends share.
  if (auto resFile = res_module::Load(path)) return *resFile;
  ::HMODULE loaded =
      ::LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (loaded == nullptr) return 0;
  const HMODULE module = win::ModuleHandles().Intern(loaded);
  char full[MAX_PATH * 4];
  const ::DWORD length = ::GetFullPathNameA(path, sizeof full, full, nullptr);
  LoadedPaths& paths = Paths();
  std::lock_guard lock(paths.mutex);
  paths.byModule[module] = length > 0 && length < sizeof full ? std::string(full, length) : path;
  return module;
}

BOOL FreeLibrary(HMODULE module) {
  if (res_module::IsModule(module)) return res_module::Free(module);
  if (module == 0) {
    ::SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  const BOOL freed = ::FreeLibrary(Real(module));
  if (freed) {
    LoadedPaths& paths = Paths();
    std::lock_guard lock(paths.mutex);
    paths.byModule.erase(module);
  }
  return freed;
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size) {
  if (res_module::IsModule(module)) return res_module::GetFileName(module, buffer, size);
  std::string path;
  {
    LoadedPaths& paths = Paths();
    std::lock_guard lock(paths.mutex);
    auto it = paths.byModule.find(module);
    if (it == paths.byModule.end()) return ::GetModuleFileNameA(Real(module), buffer, size);
    path = it->second;
  }
  if (buffer == nullptr || size == 0) {
    ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  // As the platform: at most size - 1 characters and a terminator; truncation returns size.
  const size_t copied = std::min<size_t>(path.size(), size - 1);
  std::memcpy(buffer, path.data(), copied);
  buffer[copied] = '\0';
  if (path.size() >= size) {
    ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
  }
  return static_cast<DWORD>(copied);
}

BOOL EnumResourceTypesA(HMODULE module, ENUMRESTYPEPROCA proc, LONG_PTR param) {
  if (res_module::IsModule(module)) return res_module::EnumTypes(module, proc, param);
  TypeWalk walk{module, proc, param};
  return ::EnumResourceTypesA(Real(module), OnType, reinterpret_cast<LONG_PTR>(&walk));
}

BOOL EnumResourceNamesA(HMODULE module, LPCSTR type, ENUMRESNAMEPROCA proc, LONG_PTR param) {
  if (res_module::IsModule(module)) return res_module::EnumNames(module, type, proc, param);
  NameWalk walk{module, proc, param};
  return ::EnumResourceNamesA(Real(module), type, OnName, reinterpret_cast<LONG_PTR>(&walk));
}

BOOL EnumResourceLanguagesA(HMODULE module, LPCSTR type, LPCSTR name, ENUMRESLANGPROCA proc,
                            LONG_PTR param) {
  if (res_module::IsModule(module))
    return res_module::EnumLanguages(module, type, name, proc, param);
  LanguageWalk walk{module, proc, param};
  return ::EnumResourceLanguagesA(Real(module), type, name, OnLanguage,
                                  reinterpret_cast<LONG_PTR>(&walk));
}

HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
  if (res_module::IsModule(module)) return res_module::Find(module, type, name, 0);
  return win::ResourceHandles().Intern(::FindResourceA(Real(module), name, type));
}

HRSRC FindResourceExA(HMODULE module, LPCSTR type, LPCSTR name, WORD language) {
  if (res_module::IsModule(module)) return res_module::Find(module, type, name, language);
  return win::ResourceHandles().Intern(::FindResourceExA(Real(module), type, name, language));
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource) {
  if (res_module::IsModule(module)) return res_module::Load(module, resource);
  return win::LoadedResourceHandles().Intern(::LoadResource(Real(module), RealResource(resource)));
}

const void* LockResource(HGLOBAL data) {
  if (res_module::IsResource(data)) return res_module::Lock(data);
  return ::LockResource(win::LoadedResourceHandles().Resolve(data));
}

DWORD SizeofResource(HMODULE module, HRSRC resource) {
  if (res_module::IsModule(module)) return res_module::Size(module, resource);
  return ::SizeofResource(Real(module), RealResource(resource));
}

BOOL FreeResource(HGLOBAL data) {
  if (res_module::IsResource(data)) return FALSE;
  return ::FreeResource(win::LoadedResourceHandles().Resolve(data));
}

HMODULE LoadOwnResourceModule(const void* codeAddress, Bytes /*image*/) {
  ::HMODULE module = nullptr;
  if (!::GetModuleHandleExA(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          static_cast<const char*>(codeAddress), &module))
    return 0;
  return win::ModuleHandles().Intern(module);
}

BOOL RegisterHostModuleFile(LPCSTR /*path*/) {
  // The host program's own module is the running executable, as the loader knows it.
  ::SetLastError(ERROR_NOT_SUPPORTED);
  return 0;
}

}  // namespace orvex
