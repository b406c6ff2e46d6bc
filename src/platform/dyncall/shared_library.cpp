#include "platform/dyncall/shared_library.h"

#include <dlfcn.h>
#include <link.h>

#include <mutex>
#include <string>
#include <unordered_map>

#include "platform/fs/fs.h"
#include "platform/text/text.h"

namespace orvex::shared {

namespace {

// One entry per loaded object; loading it again counts a reference on the same handle.
// Handles are never reused, so a stale handle fails instead of reaching another library.
struct LoadedObject {
  void* object = nullptr;
  uint32_t references = 0;
};

struct SharedObjectTable {
  std::mutex mutex;
  std::unordered_map<HMODULE, LoadedObject> entries;
  HMODULE nextHandle = 1;
};

SharedObjectTable& Table() {
  static SharedObjectTable table;
  return table;
}

// ANSI text as the host system spells file and symbol names.
std::string HostText(LPCSTR ansi) {
  return Utf16ToUtf8(AnsiToUnicode(ansi));
}

// The executable's own exports: dlsym on the program's handle would also search every
// library the program uses, which the platform's lookup in the host module does not.
void* FindInHostProgram(const std::string& name) {
  void* program = dlopen(nullptr, RTLD_NOW);
  if (program == nullptr) return nullptr;
  void* symbol = dlsym(program, name.c_str());
  link_map* programMap = nullptr;
  link_map* symbolMap = nullptr;
  Dl_info info{};
  bool own = symbol != nullptr && dlinfo(program, RTLD_DI_LINKMAP, &programMap) == 0 &&
             dladdr1(symbol, &info, reinterpret_cast<void**>(&symbolMap), RTLD_DL_LINKMAP) != 0 &&
             symbolMap == programMap;
  dlclose(program);
  return own ? symbol : nullptr;
}

}  // namespace

HMODULE LoadLibraryA(LPCSTR name) {
  if (name == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  // An empty name would make the loader hand out the program itself.
  if (*name == '\0') {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return 0;
  }
  // Paths with drive C go through the drive mapping; other names are used as given.
  Expected<std::string> path = MapPath(HostText(name));
  if (!path) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return 0;
  }
  void* object = dlopen(path->c_str(), RTLD_NOW | RTLD_LOCAL);
  if (object == nullptr) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return 0;
  }
  SharedObjectTable& table = Table();
  std::lock_guard lock(table.mutex);
  for (auto& [handle, entry] : table.entries) {
    if (entry.object == object) {
      // dlopen counted a reference of its own; FreeLibrary gives each one back.
      ++entry.references;
      return handle;
    }
  }
  HMODULE handle = table.nextHandle++;
  table.entries.emplace(handle, LoadedObject{object, 1});
  return handle;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
  if (name == nullptr || IS_INTRESOURCE(name)) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  std::string symbolName = HostText(name);
  void* symbol = nullptr;
  if (module == 0) {
    symbol = FindInHostProgram(symbolName);
  } else {
    SharedObjectTable& table = Table();
    std::lock_guard lock(table.mutex);
    auto found = table.entries.find(module);
    if (found == table.entries.end()) {
      SetLastError(ERROR_INVALID_HANDLE);
      return nullptr;
    }
    symbol = dlsym(found->second.object, symbolName.c_str());
  }
  if (symbol == nullptr) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<FARPROC>(symbol);
}

BOOL FreeLibrary(HMODULE module) {
  SharedObjectTable& table = Table();
  void* object = nullptr;
  {
    std::lock_guard lock(table.mutex);
    auto found = table.entries.find(module);
    if (found == table.entries.end()) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    object = found->second.object;
    if (--found->second.references == 0) table.entries.erase(found);
  }
  // Outside the lock: unloading runs the object's destructors, which may load or free.
  dlclose(object);
  return TRUE;
}

}  // namespace orvex::shared
